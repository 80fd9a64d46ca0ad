#include "platform/ado/odbc/odbc_attributes.hpp"

#include "platform/automation/text_compare.hpp"
#include "velmora/error.hpp"

namespace velmora::ado::odbc {
namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string trimmed(std::string_view text) {
  std::size_t b = 0;
  std::size_t e = text.size();
  while (b < e && isBlank(text[b])) ++b;
  while (e > b && isBlank(text[e - 1])) --e;
  return std::string(text.substr(b, e - b));
}

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
  std::vector<Attribute> attributes;
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    while (i < n && (isBlank(text[i]) || text[i] == ';')) ++i;
    if (i >= n) break;
    const std::size_t keyStart = i;
    while (i < n && text[i] != '=' && text[i] != ';') ++i;
    Attribute attribute;
    attribute.key = trimmed(text.substr(keyStart, i - keyStart));
    if (i >= n || text[i] == ';') noEquals(attributes.size() + 1);
    ++i;  // "="
    while (i < n && isBlank(text[i])) ++i;
    if (i < n && text[i] == '{') {
      ++i;
      while (true) {
        if (i >= n) invalid(attribute.key, "no closing '}'");
        if (text[i] == '}') {
          if (i + 1 < n && text[i + 1] == '}') {
            attribute.value += '}';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        attribute.value += text[i++];
      }
      while (i < n && isBlank(text[i])) ++i;
      if (i < n && text[i] != ';') invalid(attribute.key, "text after the closing '}'");
    } else {
      const std::size_t valueStart = i;
      while (i < n && text[i] != ';') ++i;
      attribute.value = trimmed(text.substr(valueStart, i - valueStart));
    }
    attributes.push_back(std::move(attribute));
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
  std::string out = trimmed(connectionString);
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

std::string shownAttributes(const std::vector<Attribute>& attributes) {
  std::string out;
  for (const Attribute& attribute : attributes) {
    out += attribute.key + "=";
    if (isPasswordKey(attribute.key)) {
      out += "***";
    } else if (attribute.value.find_first_of(";{}") != std::string::npos ||
               (!attribute.value.empty() &&
                (isBlank(attribute.value.front()) || isBlank(attribute.value.back())))) {
      out += braced(attribute.value);
    } else {
      out += attribute.value;
    }
    out += ';';
  }
  return out;
}

}  // namespace velmora::ado::odbc
