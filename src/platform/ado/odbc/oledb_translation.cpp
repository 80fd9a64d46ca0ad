#include "platform/ado/odbc/oledb_translation.hpp"

#include <iterator>

#include "platform/ado/connection_items.hpp"
#include "platform/ado/odbc/odbc_attributes.hpp"
#include "platform/automation/text_compare.hpp"

namespace velmora::ado::odbc {

std::string odbcConnectionString(const std::string& odbcAttributes, const ConnectionString& oledb,
                                 const std::string& user, const std::string& password) {
  struct Translation {
    std::string_view oledbKey;
    std::string_view odbcKey;
  };
  static constexpr Translation kTranslations[] = {{"Data Source", "Server"},
                                                  {"User Id", "UID"},
                                                  {"Password", "PWD"},
                                                  {"Initial Catalog", "Database"}};
  constexpr std::size_t kUserIndex = 1;
  constexpr std::size_t kPasswordIndex = 2;

  std::string out = trimBlanks(odbcAttributes);
  if (!out.empty() && out.back() != ';') out += ';';

  auto put = [&out](std::string_view key, const std::string& value) {
    out += key;
    out += '=';
    out += writtenValue(value);
    out += ';';
  };
  bool written[std::size(kTranslations)] = {};
  for (const ConnectionString::Item& item : oledb.items()) {
    if (equalsIgnoreCase(item.key, "Provider")) continue;
    std::size_t t = 0;
    while (t < std::size(kTranslations) && !equalsIgnoreCase(item.key, kTranslations[t].oledbKey)) {
      ++t;
    }
    if (t == std::size(kTranslations)) {
      put(item.key, item.value);
      continue;
    }
    // A translated key is written once, at its first place, with its last value.
    if (written[t]) continue;
    written[t] = true;
    std::string value = oledb.get(kTranslations[t].oledbKey);
    if (t == kUserIndex && !user.empty()) value = user;
    if (t == kPasswordIndex && !password.empty()) value = password;
    put(kTranslations[t].odbcKey, value);
  }
  if (!written[kUserIndex] && !user.empty()) put("UID", user);
  if (!written[kPasswordIndex] && !password.empty()) put("PWD", password);
  return out;
}

}  // namespace velmora::ado::odbc
