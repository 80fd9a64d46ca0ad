#include <charconv>
#include <filesystem>

#include "client/mes_database.hpp"
#include "platform/ado/provider_table.hpp"
#include "velmora/client.hpp"
#include "velmora/error.hpp"

namespace velmora {
namespace {

// A driver spec from [Providers] with SQLite's relative paths anchored at the home folder.
std::string anchoredSpec(const std::string& spec, const std::string& home) {
  const auto parsed = ado::parseDriverSpec(spec);
  if (!parsed || parsed->driver != ado::DriverSpec::Driver::Sqlite || home.empty()) return spec;
  const std::string prefix = spec.substr(0, std::string_view("sqlite").size());
  if (parsed->argument.empty()) return prefix + ":" + home;
  const std::filesystem::path folder(parsed->argument);
  if (folder.is_absolute()) return spec;
  return prefix + ":" + (std::filesystem::path(home) / folder).string();
}

// A timeout of section MESDB: `fallback` when the key is missing or empty, else a whole number
// of seconds up to a day.
long timeoutOf(FileIniFile& ini, const char* name, long fallback) {
  std::string section = "MESDB";
  std::string key = name;
  const std::string text = ini.ReadValue(section, key);
  if (text.empty()) return fallback;
  long seconds = -1;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  if (ec != std::errc() || end != text.data() + text.size() || seconds < 0 || seconds > 86400) {
    raise(err::kInvalidCall, "[MESDB] " + key + " in '" + ini.path() +
                                 "' must be a whole number of seconds from 0 to 86400, not '" +
                                 text + "'");
  }
  return seconds;
}

}  // namespace

ClientConfig loadClientConfig(const std::string& home) {
  const std::string path = home + "/INI/MESconfig.ini";
  FileIniFile ini(home);
  ini.OpenFile(path);

  ClientConfig config;
  config.home = home;
  std::string section = "MESDB";
  std::string key = "Connection";
  config.mesConnection = ini.ReadValue(section, key);
  if (config.mesConnection.empty()) {
    raise(err::kInvalidCall, "missing [MESDB] Connection in '" + path + "'");
  }
  config.timeouts.query = timeoutOf(ini, "QueryTimeout", config.timeouts.query);
  config.timeouts.busy = timeoutOf(ini, "BusyTimeout", config.timeouts.busy);
  section = "MSSQL";
  key = "ServerName";
  config.inspectionServer = ini.ReadValue(section, key);
  for (const auto& [name, spec] : ini.Section("Providers")) {
    config.providers[name] = anchoredSpec(spec, home);
  }
  return config;
}

std::vector<std::string> sqliteDatabaseFiles(const ClientConfig& config,
                                             const std::string& mesUri) {
  std::vector<std::string> files;
  if (const std::string mes = client::sqliteFileOf(mesUri, config.home); !mes.empty()) {
    files.push_back(mes);
  }
  try {
    const ado::DriverSpec spec = ado::resolveProvider("SQLOLEDB.1", config.providers);
    const std::filesystem::path server(config.inspectionServer);
    if (spec.driver == ado::DriverSpec::Driver::Sqlite && !server.empty()) {
      files.push_back(server.is_absolute() || spec.argument.empty()
                          ? server.string()
                          : (std::filesystem::path(spec.argument) / server).string());
    }
  } catch (const AutomationError&) {
    // A provider that resolves to no driver names no file; the check run reports it.
  }
  return files;
}

}  // namespace velmora
