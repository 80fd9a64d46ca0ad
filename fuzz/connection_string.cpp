// OLE DB connection strings: a parsed string, written back, parses to the same items; its
// translation into an ODBC string means to the driver the values that were written, whatever
// characters they hold; a malformed string fails with error 5 naming a position, never text.
#include <string>
#include <vector>

#include "platform/ado/connection_string.hpp"
#include "platform/ado/odbc/odbc_attributes.hpp"
#include "platform/ado/odbc/oledb_translation.hpp"
#include "platform/automation/text_compare.hpp"
#include "property.hpp"
#include "velmora/error.hpp"

namespace {

using velmora::equalsIgnoreCase;
using velmora::ado::ConnectionString;
using velmora::ado::odbc::Attribute;
using velmora::fuzz::require;

// The items of `settings` as the translation documents them: Provider dropped, the four OLE DB
// keys renamed and written once at their first place with their last value (user and password
// overriding when given), every other item as it is; a user or password not in `settings`
// follows.
std::vector<Attribute> expectedTranslation(const ConnectionString& settings,
                                           const std::string& user, const std::string& password) {
  const char* const renamed[][2] = {{"Data Source", "Server"},
                                    {"User Id", "UID"},
                                    {"Password", "PWD"},
                                    {"Initial Catalog", "Database"}};
  std::vector<Attribute> expected;
  bool seen[4] = {};
  for (const ConnectionString::Item& item : settings.items()) {
    if (equalsIgnoreCase(item.key, "Provider")) continue;
    int t = 0;
    while (t < 4 && !equalsIgnoreCase(item.key, renamed[t][0])) ++t;
    if (t == 4) {
      expected.push_back({item.key, item.value});
      continue;
    }
    if (seen[t]) continue;
    seen[t] = true;
    std::string value = settings.get(renamed[t][0]);
    if (t == 1 && !user.empty()) value = user;
    if (t == 2 && !password.empty()) value = password;
    expected.push_back({renamed[t][1], value});
  }
  if (!seen[1] && !user.empty()) expected.push_back({"UID", user});
  if (!seen[2] && !password.empty()) expected.push_back({"PWD", password});
  return expected;
}

void requireSameAttributes(const std::vector<Attribute>& got, const std::vector<Attribute>& want,
                           const std::string& detail) {
  require(got.size() == want.size(), "the translation keeps every item", detail);
  for (std::size_t i = 0; i < got.size(); ++i) {
    require(got[i].key == want[i].key && got[i].value == want[i].value,
            "the translation keeps each key and value", detail + "\nitem: " + want[i].key);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = velmora::fuzz::textOf(data, size);
  ConnectionString settings;
  try {
    settings = ConnectionString::parse(text);
  } catch (const velmora::AutomationError& error) {
    require(error.number() == velmora::err::kInvalidCall, "a malformed string is error 5", text);
    require(error.description().rfind("Invalid connection string item at character ", 0) == 0,
            "a malformed string is named by position only", error.description());
    return 0;
  }

  std::string written;
  for (const ConnectionString::Item& item : settings.items()) {
    require(!item.key.empty(), "no item has an empty key", text);
    written += item.key + "=" + item.raw + ";";
  }
  const ConnectionString again = ConnectionString::parse(written);
  require(again.items().size() == settings.items().size(), "written back, the same items",
          text + "\n=> " + written);
  for (std::size_t i = 0; i < again.items().size(); ++i) {
    const ConnectionString::Item& a = settings.items()[i];
    const ConnectionString::Item& b = again.items()[i];
    require(a.key == b.key && a.value == b.value && a.raw == b.raw,
            "written back, the same keys and values", text + "\n=> " + written);
  }

  // The translation, plain and with a user and a password of any characters (the last value).
  const std::string anyValue = settings.items().empty() ? "" : settings.items().back().value;
  for (const std::string& secret : {std::string(), anyValue}) {
    const std::string odbcText =
        velmora::ado::odbc::odbcConnectionString("", settings, secret, secret);
    std::vector<Attribute> translated;
    try {
      translated = velmora::ado::odbc::parseAttributes(odbcText);
    } catch (const velmora::AutomationError&) {
      require(false, "the translation reads as an ODBC string", text + "\n=> " + odbcText);
    }
    requireSameAttributes(translated, expectedTranslation(settings, secret, secret),
                          text + "\n=> " + odbcText);
  }
  return 0;
}
