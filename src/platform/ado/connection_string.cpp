#include "platform/ado/connection_string.hpp"

#include "platform/ado/connection_items.hpp"
#include "platform/automation/text_compare.hpp"
#include "velmora/error.hpp"

namespace velmora::ado {
namespace {

// The error names where the bad item starts, never its text: a password holding ";" leaves its
// tail as an item of its own, and that tail must not reach the trace.
[[noreturn]] void invalid(std::size_t itemStart) {
  throw AutomationError(err::kInvalidCall, "Invalid connection string item at character " +
                                               std::to_string(itemStart + 1));
}

}  // namespace

ConnectionString ConnectionString::parse(std::string_view text) {
  ConnectionItems scanned = splitConnectionItems(text, "'\"{");
  // An empty key is an error too; the first bad item in the text is the one named.
  for (const ConnectionItem& item : scanned.items) {
    if (item.key.empty()) invalid(item.start);
  }
  if (scanned.fault != ItemFault::kNone) invalid(scanned.faulty.start);
  ConnectionString result;
  for (ConnectionItem& item : scanned.items) {
    result.items_.push_back({std::move(item.key), std::move(item.value), std::move(item.raw)});
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
      value.empty() || (value.find(';') == std::string_view::npos &&
                        !isConnectionBlank(value.front()) && !isConnectionBlank(value.back()) &&
                        value.front() != '"' && value.front() != '\'' && value.front() != '{');
  if (plain) return std::string(value);
  std::string out = "\"";
  for (const char c : value) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + "\"";
}

}  // namespace velmora::ado
