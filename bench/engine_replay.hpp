// What the database engine alone spends on a check's statements.
//
// Replays statements recorded by a StatementLog straight through SQLite, on connections of its
// own to the same files (read only, with the Oracle functions the driver registers), with none
// of the component's code in between: each statement prepared, stepped to its end with every
// column of every row read, and finalized. Run once over every statement the check sent and once
// over the first sending of each distinct one, the two times bound what a statement cache
// beneath unchanged statements can save: with the cache on, the engine still does the distinct
// statements' work, read to the end (the cache keeps complete results).
#pragma once

#include <vector>

#include "statement_log.hpp"

namespace velmora::bench {

struct EngineReplay {
  double allMs = 0;       // every statement as sent
  double distinctMs = 0;  // each distinct statement once
};

// The best of `passes` replays of each kind (the best: a replay's noise only adds time). Throws
// std::runtime_error naming the file and statement when SQLite refuses one.
EngineReplay replayOnEngine(const std::vector<StatementLog::Statement>& sent, int passes);

}  // namespace velmora::bench
