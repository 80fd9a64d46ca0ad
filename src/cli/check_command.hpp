// `velmora check`: one check run of a lot and step, as an MES client would make it.
#pragma once

#include <optional>
#include <ostream>
#include <string>

namespace velmora::cli {

struct CheckOptions {
  std::string lot;
  std::string step;
  std::string home;                        // the MES client's home folder
  std::string mes;                         // overrides [MESDB] Connection when not empty
  std::string format = "text";             // "text", "json" or "html"
  std::string output;                      // write the output to this file; "" for `out`
  std::string trace;                       // trace file, "-" for standard error, "" for none
  std::optional<std::string> timeVersion;  // TimeVersionSysid handed to the check object
};

// Exit statuses of the command.
inline constexpr int kExitOk = 0;      // Execute returned "ok", findings or not
inline constexpr int kExitFailed = 1;  // Execute returned anything else
inline constexpr int kExitUsage = 2;   // usage, configuration, validation or output error

// Loads the home's configuration, opens the MES database, hands the check object its objects
// and inputs, validates them, runs the check and prints the report on `out`. Problems before
// the run go to `err` as one line naming the file, key or input at fault (a trace file that is
// one of the configured files is refused); so does a report or trace that could not be written
// (exit status 2), and a result other than "ok", with the trace's last error entry. Returns the
// exit status.
int runCheck(const CheckOptions& options, std::ostream& out, std::ostream& err);

}  // namespace velmora::cli
