#include "platform/ado/odbc/odbc_attributes.hpp"

#include "platform/ado/connection_items.hpp"
#include "platform/automation/text_compare.hpp"
#include "velmora/error.hpp"

namespace velmora::ado::odbc {
namespace {

[[noreturn]] void invalid(const std::string& key, const char* problem) {
  raise(err::kInvalidCall, "ODBC connection string item '" + key + "': " + problem);
}

// An item without "=" is named by its position only: its text may be the tail of a password
// that held an unbraced ";".
[[noreturn]] void noEquals(std::size_t position) {
  raise(err::kInvalidCall,
        "ODBC connection string item " + std::to_string(position) + ": no '=' in the item");
}

bool isPasswordKey(std::string_view key) {
  return equalsIgnoreCase(key, "PWD") || equalsIgnoreCase(key, "Password");
}

bool containsIgnoreCase(std::string_view text, std::string_view part) {
  if (part.size() > text.size()) return false;
  for (std::size_t at = 0; at + part.size() <= text.size(); ++at) {
    if (equalsIgnoreCase(text.substr(at, part.size()), part)) return true;
  }
  return false;
}

}  // namespace

std::vector<Attribute> parseAttributes(std::string_view text) {
  ConnectionItems scanned = splitConnectionItems(text, "{");
  switch (scanned.fault) {
    case ItemFault::kNone:
      break;
    case ItemFault::kNoEquals:
      noEquals(scanned.items.size() + 1);
    case ItemFault::kUnclosed:
      invalid(scanned.faulty.key, "no closing '}'");
    case ItemFault::kTextAfterClose:
      invalid(scanned.faulty.key, "text after the closing '}'");
  }
  std::vector<Attribute> attributes;
  for (ConnectionItem& item : scanned.items) {
    attributes.push_back({std::move(item.key), std::move(item.value)});
  }
  return attributes;
}

std::optional<std::string> findAttribute(const std::vector<Attribute>& attributes,
                                         std::string_view key) {
  for (const Attribute& attribute : attributes) {
    if (equalsIgnoreCase(attribute.key, key)) return attribute.value;
  }
  return std::nullopt;
}

std::string braced(std::string_view value) {
  std::string out = "{";
  for (char c : value) {
    out += c;
    if (c == '}') out += '}';
  }
  return out + "}";
}

bool namesFreeTds(const std::vector<Attribute>& attributes) {
  const std::optional<std::string> driver = findAttribute(attributes, "Driver");
  return driver &&
         (containsIgnoreCase(*driver, "FreeTDS") || containsIgnoreCase(*driver, "tdsodbc"));
}

std::string withProviderDefaults(const std::string& connectionString) {
  const std::vector<Attribute> attributes = parseAttributes(connectionString);
  std::string out = trimBlanks(connectionString);
  if (!out.empty() && out.back() != ';') out += ';';
  const bool namesDriver = findAttribute(attributes, "Driver").has_value() ||
                           findAttribute(attributes, "DSN").has_value() ||
                           findAttribute(attributes, "FileDSN").has_value();
  if (!namesDriver) out = "Driver={FreeTDS};" + out;
  if ((!namesDriver || namesFreeTds(attributes)) &&
      !findAttribute(attributes, "TDS_Version").has_value()) {
    out += "TDS_Version=" + std::string(kDefaultTdsVersion) + ";";
  }
  return out;
}

std::vector<std::string> secretsOf(const std::vector<Attribute>& attributes) {
  std::vector<std::string> secrets;
  for (const Attribute& attribute : attributes) {
    if (isPasswordKey(attribute.key) && !attribute.value.empty()) {
      secrets.push_back(attribute.value);
    }
  }
  return secrets;
}

std::string writtenValue(std::string_view value) {
  const bool needsBraces =
      !value.empty() && (isConnectionBlank(value.front()) || isConnectionBlank(value.back()) ||
                         value.find_first_of(";{}=") != std::string_view::npos);
  return needsBraces ? braced(value) : std::string(value);
}

std::string shownConnectionString(std::string_view text) {
  std::vector<Attribute> attributes;
  try {
    attributes = parseAttributes(text);
  } catch (const AutomationError&) {
    if (text.find('=') == std::string_view::npos) return std::string(text);
    return "(a connection string that cannot be read, not shown)";
  }
  if (secretsOf(attributes).empty()) return std::string(text);
  return shownAttributes(attributes);
}

std::string shownAttributes(const std::vector<Attribute>& attributes) {
  std::string out;
  for (const Attribute& attribute : attributes) {
    out += attribute.key + "=";
    out += isPasswordKey(attribute.key) ? "***" : writtenValue(attribute.value);
    out += ';';
  }
  return out;
}

}  // namespace velmora::ado::odbc
