// `velmora report`: the batch report (and the summary) built from the JSON Lines of earlier
// batches — of the shards of one batch run on many machines, say — without judging a lot again.
// The lots' pages read their wafer maps and limits from the MES database, read-only.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace velmora::cli {

struct ReportOptions {
  std::vector<std::string> from;  // JSON Lines files, "-" for standard input
  std::string report;             // FILE.html or DIR/, as for batch --report
  std::string summary;            // JSON summary file, "" for none
  std::string home;
  std::string mes;
};

CLI::App* addReportCommand(CLI::App& app, ReportOptions& options);

// Exit status: 0 when every line's check returned "ok", 1 when one did not, 2 for usage,
// configuration, input (a line that is not a batch line: named by file and line) or output
// errors.
int runReport(const ReportOptions& options, std::istream& in, std::ostream& err);

}  // namespace velmora::cli
