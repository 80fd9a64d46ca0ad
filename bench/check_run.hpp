// One check run as the command line makes it, for the benchmarks and the output comparison.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "velmora/context.hpp"

namespace velmora::bench {

struct CheckOutcome {
  std::string result;              // what Execute returned
  std::string json;                // what `velmora check --format json` prints
  std::vector<std::string> trace;  // the trace entries, in order
};

// Checks `lot` at `step` with the configuration of `home` (its MES database opened for this run,
// as the command line does) and a statement cache of `cacheMiB` MiB (0: off); `bindValues`
// overrides [MESDB] BindValues (false: every statement sent as text).
CheckOutcome runCheck(const std::string& home, const std::string& lot, const std::string& step,
                      std::size_t cacheMiB, bool bindValues = true);

// An MES client that checks lot after lot, as a long-running host does: configuration read and
// MES database opened once, a fresh check object for every check. Its connections live as long
// as it does, and with them the statements its drivers keep prepared.
class Host {
 public:
  Host(const std::string& home, std::size_t cacheMiB, bool bindValues = true);

  // One check with a trace that keeps nothing; returns what Execute returned.
  std::string check(const std::string& lot, const std::string& step);
  // One check with its JSON and trace, as runCheck gives them.
  CheckOutcome outcome(const std::string& lot, const std::string& step);

 private:
  std::shared_ptr<Context> context_;
  std::shared_ptr<MesDatabase> mes_;
  std::shared_ptr<TraceLog> trace_;
};

}  // namespace velmora::bench
