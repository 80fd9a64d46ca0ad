#include "cli/check_command.hpp"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <utility>

#include "cli/lot_report.hpp"
#include "cli/output_file.hpp"
#include "cli/report.hpp"
#include "cli/stop_signals.hpp"
#include "cli/wafer_map.hpp"
#include "velmora/client.hpp"
#include "velmora/error.hpp"
#include "velmora/session.hpp"

namespace velmora::cli {
namespace {

// "cannot write <what>: <reason>" when `out` failed, else "".
std::string writeFailure(const std::ostream& out, const std::string& what, int error) {
  if (out) return "";
  return "cannot write " + what + ": " + (error != 0 ? std::strerror(error) : "write failed");
}

}  // namespace

int runCheck(const CheckOptions& options, std::ostream& out, std::ostream& err) {
  // A signal ends the check at once, saying so, and removes a report half written.
  const StopSignals signals(StopSignals::Mode::kAtOnce);
  if (options.format != "text" && options.format != "json" && options.format != "html") {
    err << "velmora: --format must be text, json or html, not '" << printable(options.format)
        << "'\n";
    return kExitUsage;
  }
  if (options.home.empty()) {
    err << "velmora: --home is empty: name the MES client's home folder\n";
    return kExitUsage;
  }

  std::unique_ptr<Session> session;
  std::shared_ptr<StreamTraceLog> traceLog;
  std::string mesUri;
  try {
    const ClientConfig config = loadClientConfig(options.home);
    mesUri = options.mes.empty() ? config.mesConnection : options.mes;
    // Nothing the command writes may land on what it reads.
    for (const auto& [option, path] :
         {std::pair<const char*, const std::string&>{"--trace", options.trace},
          {"--output", options.output}}) {
      if (path == "-") continue;
      if (const std::string file = inputFileAt(path, config, mesUri); !file.empty()) {
        err << "velmora: " << option << " " << printable(path) << " is the configured file '"
            << printable(file) << "', which the check only reads; name another file\n";
        return kExitUsage;
      }
    }
    session = std::make_unique<Session>(config, mesUri);
    if (!options.trace.empty()) traceLog = openTrace(options.trace, err);
  } catch (const AutomationError& e) {
    err << "velmora: " << printable(e.description()) << "\n";
    return kExitUsage;
  }
  session->setTrace(traceLog);

  Report report;
  try {
    report = session->check(options.lot, options.step, options.timeVersion);
  } catch (const InputError& e) {
    err << "velmora: " << printable(e.description()) << "\n";
    return kExitUsage;
  }
  const std::string& result = report.result;
  std::string text;
  if (options.format == "json") {
    text = toJson(report) + "\n";
  } else if (options.format == "html") {
    text = makeLotPage(session->mesDatabase(), report,
                       provenanceNow(options.home, mesUri, "velmora check"), "")
               .html;
  } else {
    text = toText(report);
  }
  std::string failure;
  if (options.output.empty()) {
    errno = 0;
    out << text;
    out.flush();
    failure = writeFailure(out, "to standard output", errno);
  } else {
    try {
      writeOutputFile(options.output, text);
    } catch (const OutputError& e) {
      failure = e.what();
    }
  }
  if (failure.empty() && traceLog && !traceLog->writeError().empty()) {
    failure = "cannot write the trace to " +
              (options.trace == "-" ? std::string("standard error") : "'" + options.trace + "'") +
              ": " + traceLog->writeError();
  }
  if (!failure.empty()) {
    err << "velmora: " << printable(failure) << "\n";
    return kExitUsage;
  }

  if (result != "ok") {
    err << "velmora: the check of " << printable(options.lot) << " at " << printable(options.step)
        << " returned \"" << printable(result) << "\"";
    if (report.error) err << " after a failure in " << printable(failureText(*report.error));
    err << "\n";
  }
  return result == "ok" ? kExitOk : kExitFailed;
}

}  // namespace velmora::cli
