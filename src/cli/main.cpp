// velmora: a command-line MES client of the check component.
#include <fcntl.h>
#include <unistd.h>
#include <CLI/CLI.hpp>
#include <cerrno>
#include <iostream>

#include "cli/batch_command.hpp"
#include "cli/check_command.hpp"
#include "cli/doctor_command.hpp"
#include "cli/report_command.hpp"
#include "velmora/session.hpp"
#include "velmora/version.hpp"

namespace {

// Standard output closed by the caller: the report would be lost, or written into whatever file
// is opened next. Standard error closed: it is pointed at /dev/null, so that no file opened later
// takes its place and receives the error lines.
bool standardStreamsUsable() {
  if (fcntl(STDERR_FILENO, F_GETFD) == -1 && errno == EBADF) {
    const int fd = open("/dev/null", O_WRONLY);
    if (fd != STDERR_FILENO && fd >= 0) close(fd);
  }
  if (fcntl(STDOUT_FILENO, F_GETFD) == -1 && errno == EBADF) {
    std::cerr << "velmora: cannot write to standard output: it is closed\n";
    return false;
  }
  return true;
}

// The message of a parse error as one line, with where to look for help.
int usageError(const CLI::ParseError& e, const char* command = "check") {
  std::string message = e.what();
  for (char& c : message) {
    if (c == '\n') c = ' ';
  }
  std::cerr << "velmora: " << message << " (see velmora " << command << " --help)\n";
  return velmora::cli::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  using velmora::cli::kExitUsage;
  if (!standardStreamsUsable()) return kExitUsage;

  CLI::App app{"velmora: checks a lot's EDC and inspection data after a process step"};
  app.set_version_flag("--version", std::string("velmora ") + VELMORA_VERSION_STRING);
  // At most one command; none is reported after parsing, so that an unknown word is named.
  app.require_subcommand(0, 1);

  velmora::cli::CheckOptions options;
  options.home = velmora::defaultHome();
  std::string timeVersion;
  CLI::App* check = app.add_subcommand("check", "run one check of a lot at a step");
  // --lot and --step are required, but checked after parsing: CLI11 reports a missing required
  // option before an unknown one, and `check --bogus` must name --bogus.
  auto* lot = check->add_option("--lot", options.lot, "lot id (required)");
  auto* step = check->add_option("--step", options.step, "step id (required)");
  check
      ->add_option("--home", options.home,
                   "MES client home folder holding INI/MESconfig.ini (default: $VELMORA_HOME, "
                   "else the demo home)")
      ->check(CLI::Validator(
          [](const std::string& value) {
            return value.empty() ? std::string("must name a folder, not be empty") : "";
          },
          "DIR"));
  check->add_option("--mes", options.mes,
                    "MES database, overriding [MESDB] Connection: sqlite:<path> or "
                    "odbc:<ODBC connection string>");
  check->add_option("--format", options.format, "output: text (default), json or html")
      ->check(CLI::IsMember({"text", "json", "html"}));
  check->add_option("--output", options.output, "write the output to FILE instead");
  check->add_option("--trace", options.trace, "write the trace to FILE, or - for standard error");
  auto* tv = check->add_option("--time-version", timeVersion, "TimeVersionSysid to hand over");
  check->footer(
      "Exit status: 0 when the check returned \"ok\" (findings or not), 1 when it returned "
      "anything else (with the failure on standard error), 2 for usage, configuration or "
      "validation errors and for output that could not be written.");

  velmora::cli::BatchOptions batchOptions;
  batchOptions.home = options.home;
  CLI::App* batch = velmora::cli::addBatchCommand(app, batchOptions);

  velmora::cli::DoctorOptions doctorOptions;
  doctorOptions.home = options.home;
  CLI::App* doctor = velmora::cli::addDoctorCommand(app, doctorOptions);

  velmora::cli::ReportOptions reportOptions;
  reportOptions.home = options.home;
  CLI::App* report = velmora::cli::addReportCommand(app, reportOptions);

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    return usageError(e, batch->parsed()    ? "batch"
                         : doctor->parsed() ? "doctor"
                         : report->parsed() ? "report"
                                            : "check");
  }
  if (batch->parsed()) return velmora::cli::runBatch(batchOptions, std::cin, std::cout, std::cerr);
  if (doctor->parsed()) return velmora::cli::runDoctor(doctorOptions, std::cout, std::cerr);
  if (report->parsed()) return velmora::cli::runReport(reportOptions, std::cin, std::cerr);
  if (!check->parsed()) {
    std::cerr
        << "velmora: a command is required: check, batch, report or doctor (see velmora --help)\n";
    return kExitUsage;
  }
  for (const auto* required : {lot, step}) {
    if (required->count() == 0) {
      return usageError(CLI::RequiredError(required->get_name()));
    }
  }

  if (tv->count() > 0) options.timeVersion = timeVersion;
  return velmora::cli::runCheck(options, std::cout, std::cerr);
}
