#include <filesystem>

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
  for (const auto& [name, spec] : ini.Section("Providers")) {
    config.providers[name] = anchoredSpec(spec, home);
  }
  return config;
}

}  // namespace velmora
