#include "cli/doctor_command.hpp"

#include <algorithm>
#include <memory>
#include <nlohmann/json.hpp>
#include <vector>

#include "cli/check_command.hpp"
#include "cli/report.hpp"
#include "velmora/client.hpp"
#include "velmora/doctor.hpp"
#include "velmora/error.hpp"

namespace velmora::cli {
namespace {

std::vector<HealthCheck> examineHome(const DoctorOptions& options) {
  std::vector<HealthCheck> checks;
  const std::string file = options.home + "/INI/MESconfig.ini";
  ClientConfig config;
  try {
    config = loadClientConfig(options.home);
    checks.push_back({"configuration file", Health::kFine, file});
  } catch (const AutomationError& e) {
    checks.push_back({"configuration file", Health::kError, e.description()});
    return checks;
  }
  const std::string mesUri = options.mes.empty() ? config.mesConnection : options.mes;
  std::shared_ptr<MesDatabase> mes;
  try {
    mes = openMesDatabase(mesUri, config.home, config.timeouts);
    // openMesDatabase took the URI, so its prefix is "sqlite:" or "odbc:" (in any case); the MES
    // file comes first among the SQLite files when the MES database is one.
    const std::vector<std::string> files = sqliteDatabaseFiles(config, mesUri);
    const bool sqlite = mesUri.find(':') == std::string("sqlite").size() && !files.empty();
    const std::string mesFile = sqlite ? files.front() : "";
    checks.push_back({"MES database opens", Health::kFine,
                      sqlite ? "read-only: " + mesFile : std::string("connected")});
  } catch (const AutomationError& e) {
    checks.push_back({"MES database opens", Health::kError, e.description()});
  }
  auto context = std::make_shared<Context>();
  context->iniFactory = iniFileFactory(config.home);
  context->providers = config.providers;
  context->timeouts = config.timeouts;
  for (HealthCheck& check : examineDatabases(*context, mesUri, mes.get())) {
    checks.push_back(std::move(check));
  }
  return checks;
}

Health worst(const std::vector<HealthCheck>& checks) {
  Health health = Health::kFine;
  for (const HealthCheck& check : checks) {
    if (check.health == Health::kError) return Health::kError;
    if (check.health == Health::kWarning) health = Health::kWarning;
  }
  return health;
}

void writeTable(std::ostream& out, const std::string& home,
                const std::vector<HealthCheck>& checks) {
  std::size_t width = 5;
  for (const HealthCheck& check : checks) width = std::max(width, check.check.size());
  out << "Home " << printable(home) << "\n\n";
  out << "check" << std::string(width - 5 + 2, ' ') << "status   detail\n";
  for (const HealthCheck& check : checks) {
    const std::string status = healthName(check.health);
    out << printable(check.check) << std::string(width - check.check.size() + 2, ' ') << status
        << std::string(9 - status.size(), ' ') << printable(check.detail) << "\n";
  }
  const Health overall = worst(checks);
  out << "\n"
      << (overall == Health::kFine      ? "All fine."
          : overall == Health::kWarning ? "Fine, with warnings."
                                        : "Errors: checks of this home would fail.")
      << "\n";
}

}  // namespace

CLI::App* addDoctorCommand(CLI::App& app, DoctorOptions& options) {
  CLI::App* doctor =
      app.add_subcommand("doctor", "examine a home before its first lot: configuration, databases");
  doctor->add_option("--home", options.home,
                     "MES client home folder holding INI/MESconfig.ini (default: $VELMORA_HOME, "
                     "else the demo home)");
  doctor->add_option("--mes", options.mes,
                     "MES database, overriding [MESDB] Connection: sqlite:<path> or "
                     "odbc:<ODBC connection string>");
  doctor->add_option("--format", options.format, "output: text (default) or json")
      ->check(CLI::IsMember({"text", "json"}));
  doctor->footer("Exit status: 0 when every check is fine, 1 when one warns, 2 when one fails.");
  return doctor;
}

int runDoctor(const DoctorOptions& options, std::ostream& out, std::ostream& err) {
  if (options.home.empty()) {
    err << "velmora: --home is empty: name the MES client's home folder\n";
    return kExitUsage;
  }
  const std::vector<HealthCheck> checks = examineHome(options);
  const Health overall = worst(checks);
  if (options.format == "json") {
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (const HealthCheck& check : checks) {
      rows.push_back(
          {{"check", check.check}, {"status", healthName(check.health)}, {"detail", check.detail}});
    }
    const nlohmann::ordered_json json = {
        {"home", options.home}, {"status", healthName(overall)}, {"checks", rows}};
    out << json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
  } else {
    writeTable(out, options.home, checks);
  }
  out.flush();
  return overall == Health::kFine ? 0 : overall == Health::kWarning ? 1 : 2;
}

}  // namespace velmora::cli
