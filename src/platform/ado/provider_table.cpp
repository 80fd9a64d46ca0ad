#include "platform/ado/provider_table.hpp"

#include <set>

#include "platform/automation/text_compare.hpp"
#include "velmora/error.hpp"

namespace velmora::ado {
namespace {

// "word" or "word:<argument>" (word compared without regard to case).
bool matchesDriver(const std::string& spec, std::string_view word, std::string& argument) {
  if (spec.size() < word.size() ||
      !equalsIgnoreCase(std::string_view(spec).substr(0, word.size()), word)) {
    return false;
  }
  if (spec.size() == word.size()) {
    argument.clear();
    return true;
  }
  if (spec[word.size()] != ':') return false;
  argument = spec.substr(word.size() + 1);
  return true;
}

}  // namespace

std::optional<DriverSpec> parseDriverSpec(const std::string& spec) {
  std::string argument;
  if (matchesDriver(spec, "sqlite", argument))
    return DriverSpec{DriverSpec::Driver::Sqlite, argument};
  if (matchesDriver(spec, "odbc", argument)) return DriverSpec{DriverSpec::Driver::Odbc, argument};
  return std::nullopt;
}

DriverSpec resolveProvider(const std::string& provider, const ProviderMap& providers) {
  std::string name = provider;
  std::set<std::string, CaseInsensitiveLess> visited;
  while (true) {
    const auto listed = providers.find(name);
    if (listed != providers.end() && visited.insert(name).second) {
      if (auto spec = parseDriverSpec(listed->second)) return *spec;
      name = listed->second;
      continue;
    }
    if (listed == providers.end()) {
      if (equalsIgnoreCase(name, "SQLOLEDB.1")) return DriverSpec{DriverSpec::Driver::Odbc, ""};
      if (auto spec = parseDriverSpec(name)) return *spec;
    }
    break;
  }
  std::string description =
      "Provider cannot be found. It may not be properly installed.: '" + provider + "'";
  if (!equalsIgnoreCase(name, provider)) description += " (mapped to '" + name + "')";
  throw AutomationError(kProviderNotFound, description);
}

}  // namespace velmora::ado
