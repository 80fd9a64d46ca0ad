// velmora: a command-line MES client of the check component.
#include <CLI/CLI.hpp>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "cli/check_command.hpp"

namespace {

// The home folder when --home is not given: $VELMORA_HOME, else the demo home of this build
// tree, else the installed demo home.
std::string defaultHome() {
  const char* env = std::getenv("VELMORA_HOME");
  if (env != nullptr && *env != '\0') return env;
  std::error_code ignored;
  if (std::filesystem::exists(VELMORA_DEMO_HOME, ignored)) return VELMORA_DEMO_HOME;
  return VELMORA_INSTALLED_DEMO_HOME;
}

}  // namespace

int main(int argc, char** argv) {
  using velmora::cli::kExitUsage;

  CLI::App app{"velmora: checks a lot's EDC and inspection data after a process step"};
  app.set_version_flag("--version", std::string("velmora ") + VELMORA_VERSION);
  app.require_subcommand(1);

  velmora::cli::CheckOptions options;
  options.home = defaultHome();
  std::string timeVersion;
  CLI::App* check = app.add_subcommand("check", "run one check of a lot at a step");
  check->add_option("--lot", options.lot, "lot id")->required();
  check->add_option("--step", options.step, "step id")->required();
  check->add_option("--home", options.home,
                    "MES client home folder holding INI/MESconfig.ini (default: $VELMORA_HOME, "
                    "else the demo home)");
  check->add_option("--mes", options.mes,
                    "MES database, overriding [MESDB] Connection: sqlite:<path> or "
                    "odbc:<ODBC connection string>");
  check->add_option("--format", options.format, "output: text (default) or json")
      ->check(CLI::IsMember({"text", "json"}));
  check->add_option("--trace", options.trace, "write the trace to FILE, or - for standard error");
  auto* tv = check->add_option("--time-version", timeVersion, "TimeVersionSysid to hand over");
  check->footer(
      "Exit status: 0 when the check returned \"ok\" (findings or not), 1 when it returned "
      "anything else, 2 for usage, configuration or validation errors.");

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return kExitUsage;
  }

  if (tv->count() > 0) options.timeVersion = timeVersion;
  return velmora::cli::runCheck(options, std::cout, std::cerr);
}
