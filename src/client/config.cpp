#include <algorithm>
#include <charconv>
#include <filesystem>

#include "client/config.hpp"
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

// A whole number of section MESDB from 0 to `max` (`unit` names what it counts in the error):
// `fallback` when the key is missing or empty.
unsigned long long wholeNumberOf(FileIniFile& ini, const char* name, unsigned long long fallback,
                                 unsigned long long max, const char* unit) {
  std::string section = "MESDB";
  std::string key = name;
  const std::string text = ini.ReadValue(section, key);
  if (text.empty()) return fallback;
  unsigned long long number = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (ec != std::errc() || end != text.data() + text.size() || number > max) {
    raise(err::kInvalidCall, "[MESDB] " + key + " in '" + ini.path() +
                                 "' must be a whole number of " + unit + " from 0 to " +
                                 std::to_string(max) + ", not '" + text + "'");
  }
  return number;
}

// The keys of the sections that are ours: [MESDB] read by this library, [MSSQL] by the component.
struct KnownKeys {
  const char* section;
  std::vector<const char*> keys;
};
const KnownKeys kKnownKeys[] = {
    {"MESDB", {"Connection", "QueryTimeout", "BusyTimeout", "StatementCacheMiB", "BindValues"}},
    {"MSSQL", {"ServerName", "UserName", "InitDB", "Password"}},
};

// Refuses a key of our sections that nothing reads: a misspelt key would leave its setting at
// the default without a word.
void refuseUnknownKeys(const FileIniFile& ini) {
  for (const KnownKeys& known : kKnownKeys) {
    for (const auto& entry : ini.Section(known.section)) {
      const std::string& key = entry.first;
      const auto same = [&key](const char* name) {
        return !CaseInsensitiveLess()(key, name) && !CaseInsensitiveLess()(name, key);
      };
      if (std::any_of(known.keys.begin(), known.keys.end(), same)) continue;
      std::string names;
      for (const char* name : known.keys) names += (names.empty() ? "" : ", ") + std::string(name);
      raise(err::kInvalidCall, "unknown key '" + key + "' in section [" + known.section +
                                   "] at line " + std::to_string(ini.lineOf(known.section, key)) +
                                   " of '" + ini.path() + "' (the keys of [" + known.section +
                                   "] are " + names + ")");
    }
  }
}

// [MESDB] BindValues: 1 (the default, also when the key is missing or empty) or 0.
bool switchOf(FileIniFile& ini, const char* name, bool fallback) {
  std::string section = "MESDB";
  std::string key = name;
  const std::string text = ini.ReadValue(section, key);
  if (text.empty()) return fallback;
  if (text != "0" && text != "1") {
    raise(err::kInvalidCall,
          "[MESDB] " + key + " in '" + ini.path() + "' must be 0 or 1, not '" + text + "'");
  }
  return text == "1";
}

}  // namespace

ClientConfig loadClientConfig(const std::string& home) {
  return client::readClientSettings(home, true);
}

ClientConfig client::readClientSettings(const std::string& home, bool requireMesConnection) {
  const std::string path = home + "/INI/MESconfig.ini";
  FileIniFile ini(home);
  ini.OpenFile(path);

  ClientConfig config;
  config.home = home;
  std::string section = "MESDB";
  std::string key = "Connection";
  config.mesConnection = ini.ReadValue(section, key);
  if (requireMesConnection && config.mesConnection.empty()) {
    raise(err::kInvalidCall, "missing [MESDB] Connection in '" + path + "'");
  }
  refuseUnknownKeys(ini);
  config.timeouts.query = static_cast<long>(
      wholeNumberOf(ini, "QueryTimeout", config.timeouts.query, 86400, "seconds"));
  config.timeouts.busy =
      static_cast<long>(wholeNumberOf(ini, "BusyTimeout", config.timeouts.busy, 86400, "seconds"));
  config.timeouts.bindValues = switchOf(ini, "BindValues", config.timeouts.bindValues);
  // At most 1 TiB, far beyond any run's needs.
  config.statementCacheMiB = wholeNumberOf(ini, "StatementCacheMiB", config.statementCacheMiB,
                                           std::size_t{1} << 20, "MiB");
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

std::string inputFileAt(const std::string& target, const ClientConfig& config,
                        const std::string& mesUri, const std::vector<std::string>& others) {
  if (target.empty()) return "";
  std::vector<std::string> files = sqliteDatabaseFiles(config, mesUri);
  files.push_back(config.home + "/INI/MESconfig.ini");
  files.insert(files.end(), others.begin(), others.end());
  for (const std::string& file : files) {
    std::error_code ec;
    if (std::filesystem::equivalent(target, file, ec)) return file;
  }
  return "";
}

}  // namespace velmora
