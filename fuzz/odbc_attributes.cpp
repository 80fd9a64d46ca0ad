// ODBC connection strings: parsed attributes, written back, parse to the same items (passwords
// as "***" when shown); any value written by writtenValue reads back as itself; the provider
// defaults keep every item as written; a shown string never holds a password value.
#include <string>
#include <vector>

#include "platform/ado/odbc/odbc_attributes.hpp"
#include "platform/automation/text_compare.hpp"
#include "property.hpp"
#include "velmora/error.hpp"

namespace {

using velmora::ado::odbc::Attribute;
using velmora::ado::odbc::parseAttributes;
using velmora::fuzz::require;

bool isPasswordKey(const std::string& key) {
  return velmora::equalsIgnoreCase(key, "PWD") || velmora::equalsIgnoreCase(key, "Password");
}

bool sameItems(const std::vector<Attribute>& a, const std::vector<Attribute>& b, std::size_t at) {
  if (a.size() < b.size() + at) return false;
  for (std::size_t i = 0; i < b.size(); ++i) {
    if (a[i + at].key != b[i].key || a[i + at].value != b[i].value) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = velmora::fuzz::textOf(data, size);

  // Any text, as a value.
  const std::vector<Attribute> single =
      parseAttributes("K=" + velmora::ado::odbc::writtenValue(text) + ";X=1");
  require(single.size() == 2 && single[0].value == text && single[1].value == "1",
          "a written value reads back as itself", text);

  const std::string shown = velmora::ado::odbc::shownConnectionString(text);
  std::vector<Attribute> attributes;
  try {
    attributes = parseAttributes(text);
  } catch (const velmora::AutomationError& error) {
    require(error.number() == velmora::err::kInvalidCall, "a malformed string is error 5", text);
    require(
        shown == text ? text.find('=') == std::string::npos : shown.find('=') == std::string::npos,
        "an unreadable string is shown only when it has no item", shown);
    return 0;
  }

  // Written back with the passwords masked, the same items.
  const std::string written = velmora::ado::odbc::shownAttributes(attributes);
  const std::vector<Attribute> back = parseAttributes(written);
  std::vector<Attribute> masked = attributes;
  for (Attribute& attribute : masked) {
    if (isPasswordKey(attribute.key)) attribute.value = "***";
  }
  require(back.size() == masked.size() && sameItems(back, masked, 0),
          "written back, the same items", text + "\n=> " + written);

  // Shown for a message: no password value but "***" (or an empty one).
  for (const Attribute& attribute : parseAttributes(shown)) {
    require(!isPasswordKey(attribute.key) || attribute.value.empty() || attribute.value == "***",
            "a shown string holds no password", shown);
  }

  // The provider defaults add items around the string, and keep each of its items.
  const std::vector<Attribute> completed =
      parseAttributes(velmora::ado::odbc::withProviderDefaults(text));
  require(sameItems(completed, attributes, 0) || sameItems(completed, attributes, 1),
          "the provider defaults keep every item", text);
  require(completed.size() <= attributes.size() + 2, "the provider defaults add two items at most",
          text);
  return 0;
}
