// `velmora batch`: checks many lots in parallel and writes one JSON line per lot, in input order.
#pragma once

#include <istream>
#include <optional>
#include <ostream>
#include <string>

namespace CLI {
class App;
}

namespace velmora::cli {

struct BatchOptions {
  std::string input;  // CSV file of lot,step lines, "-" for standard input, "" when selecting
  std::string step;   // with since and until: select the lots collected at this step
  std::string since;
  std::string until;
  unsigned jobs = 0;             // workers; 0: one per core
  std::string home;              // the MES client's home folder
  std::string mes;               // overrides [MESDB] Connection when not empty
  std::string report;            // HTML report file, "" for none
  std::string summary;           // JSON summary file, "" for none
  std::optional<bool> progress;  // forced on or off; unset: on when standard error is a terminal
  std::optional<std::string> shard;  // --shard as given (batch_shard.hpp); unset: every lot
};

// Adds the `batch` subcommand to `app`, its options stored into `options`.
CLI::App* addBatchCommand(CLI::App& app, BatchOptions& options);

// Runs the batch: reads or selects the lots, checks them on `jobs` workers (each with its own
// Context and MES connection, a new check object per lot), writes each lot's line to `out` in
// input order as soon as it and all lines before it are done, shows progress and the summary on
// `err`, and writes the report and summary files. A lot whose check fails is reported on its line
// and does not stop the batch. On SIGINT or SIGTERM no further lot starts; the lots under way
// finish, their lines are written and so are the report and the summary, marked interrupted; a
// second signal ends the process at once. A report or summary path that is one of the batch's
// inputs (the configuration, a configured SQLite database, the --input file) is refused before
// anything runs. `in` is the input for "--input -". With a shard, the lots outside it are left
// out before anything is checked: lines, summary, report and exit status are the shard's.
//
// Returns 0 when every check returned "ok", 1 when one did not, 2 for usage, configuration,
// input and output errors (one line on `err` naming the file, line, option or statement at
// fault), 128 + the signal's number (130, 143) when a signal stopped the batch.
int runBatch(const BatchOptions& options, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace velmora::cli
