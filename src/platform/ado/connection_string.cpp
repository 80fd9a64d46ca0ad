#include "platform/ado/connection_string.hpp"

#include <iterator>

#include "platform/ado/odbc/odbc_attributes.hpp"
#include "platform/automation/text_compare.hpp"
#include "velmora/error.hpp"

namespace velmora::ado {
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

// The error names where the bad item starts, never its text: a password holding ";" leaves its
// tail as an item of its own, and that tail must not reach the trace.
[[noreturn]] void invalid(std::size_t itemStart) {
  throw AutomationError(err::kInvalidCall, "Invalid connection string item at character " +
                                               std::to_string(itemStart + 1));
}

// The value enclosed at text[i] ("'", '"' or '{'), unquoted; `i` moves past the closing mark.
std::string enclosed(std::string_view text, std::size_t& i, std::size_t itemStart) {
  const char open = text[i];
  const char close = open == '{' ? '}' : open;
  std::string value;
  ++i;
  while (true) {
    if (i >= text.size()) invalid(itemStart);
    if (text[i] == close) {
      if (i + 1 < text.size() && text[i + 1] == close) {
        value += close;
        i += 2;
        continue;
      }
      ++i;
      return value;
    }
    value += text[i++];
  }
}

bool needsBraces(const std::string& value) {
  if (value.empty()) return false;
  if (isBlank(value.front()) || isBlank(value.back())) return true;
  return value.find_first_of(";{}=") != std::string::npos;
}

// A value for an ODBC connection string: as it is when that keeps its meaning, else braced.
std::string odbcValue(const std::string& value) {
  return needsBraces(value) ? odbc::braced(value) : value;
}

}  // namespace

ConnectionString ConnectionString::parse(std::string_view text) {
  ConnectionString result;
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    while (i < n && (isBlank(text[i]) || text[i] == ';')) ++i;
    if (i >= n) break;
    const std::size_t itemStart = i;
    while (i < n && text[i] != '=' && text[i] != ';') ++i;
    if (i >= n || text[i] == ';') invalid(itemStart);
    Item item;
    item.key = trimmed(text.substr(itemStart, i - itemStart));
    if (item.key.empty()) invalid(itemStart);
    ++i;  // "="
    while (i < n && isBlank(text[i])) ++i;
    const std::size_t valueStart = i;
    if (i < n && (text[i] == '\'' || text[i] == '"' || text[i] == '{')) {
      item.value = enclosed(text, i, itemStart);
      item.raw = std::string(text.substr(valueStart, i - valueStart));
      while (i < n && isBlank(text[i])) ++i;
      if (i < n && text[i] != ';') invalid(itemStart);
    } else {
      while (i < n && text[i] != ';') ++i;
      item.value = trimmed(text.substr(valueStart, i - valueStart));
      item.raw = item.value;
    }
    result.items_.push_back(std::move(item));
  }
  return result;
}

std::optional<std::string> ConnectionString::find(std::string_view key) const {
  for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
    if (equalsIgnoreCase(it->key, key)) return it->value;
  }
  return std::nullopt;
}

std::string oledbValue(std::string_view value) {
  const bool plain =
      value.empty() || (value.find(';') == std::string_view::npos && !isBlank(value.front()) &&
                        !isBlank(value.back()) && value.front() != '"' && value.front() != '\'' &&
                        value.front() != '{');
  if (plain) return std::string(value);
  std::string out = "\"";
  for (const char c : value) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + "\"";
}

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

  std::string out = trimmed(odbcAttributes);
  if (!out.empty() && out.back() != ';') out += ';';

  auto put = [&out](std::string_view key, const std::string& valueAsWritten) {
    out += key;
    out += '=';
    out += valueAsWritten;
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
      put(item.key, odbcValue(item.value));
      continue;
    }
    // A translated key is written once, at its first place, with its last value.
    if (written[t]) continue;
    written[t] = true;
    std::string value = oledb.get(kTranslations[t].oledbKey);
    if (t == kUserIndex && !user.empty()) value = user;
    if (t == kPasswordIndex && !password.empty()) value = password;
    put(kTranslations[t].odbcKey, odbcValue(value));
  }
  const bool wroteUser = written[kUserIndex];
  const bool wrotePassword = written[kPasswordIndex];
  if (!wroteUser && !user.empty()) put("UID", odbcValue(user));
  if (!wrotePassword && !password.empty()) put("PWD", odbcValue(password));
  return out;
}

}  // namespace velmora::ado
