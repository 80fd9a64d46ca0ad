#include "platform/ado/connection_items.hpp"

namespace velmora::ado {
namespace {

// Reads the value enclosed at text[i]; `i` moves past the closing mark. False when the text
// ends before the closing mark.
bool readEnclosed(std::string_view text, std::size_t& i, std::string& value) {
  const char close = text[i] == '{' ? '}' : text[i];
  ++i;
  while (i < text.size()) {
    if (text[i] == close) {
      if (i + 1 < text.size() && text[i + 1] == close) {
        value += close;
        i += 2;
        continue;
      }
      ++i;
      return true;
    }
    value += text[i++];
  }
  return false;
}

}  // namespace

bool isConnectionBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string trimBlanks(std::string_view text) {
  std::size_t b = 0;
  std::size_t e = text.size();
  while (b < e && isConnectionBlank(text[b])) ++b;
  while (e > b && isConnectionBlank(text[e - 1])) --e;
  return std::string(text.substr(b, e - b));
}

ConnectionItems splitConnectionItems(std::string_view text, std::string_view openers) {
  ConnectionItems result;
  auto fail = [&result](ItemFault fault, ConnectionItem item) {
    result.fault = fault;
    result.faulty = std::move(item);
    return result;
  };
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    while (i < n && (isConnectionBlank(text[i]) || text[i] == ';')) ++i;
    if (i >= n) break;
    ConnectionItem item;
    item.start = i;
    while (i < n && text[i] != '=' && text[i] != ';') ++i;
    item.key = trimBlanks(text.substr(item.start, i - item.start));
    if (i >= n || text[i] == ';') return fail(ItemFault::kNoEquals, std::move(item));
    ++i;  // "="
    while (i < n && isConnectionBlank(text[i])) ++i;
    const std::size_t valueStart = i;
    if (i < n && openers.find(text[i]) != std::string_view::npos) {
      if (!readEnclosed(text, i, item.value)) return fail(ItemFault::kUnclosed, std::move(item));
      item.raw = std::string(text.substr(valueStart, i - valueStart));
      while (i < n && isConnectionBlank(text[i])) ++i;
      if (i < n && text[i] != ';') return fail(ItemFault::kTextAfterClose, std::move(item));
    } else {
      while (i < n && text[i] != ';') ++i;
      item.value = trimBlanks(text.substr(valueStart, i - valueStart));
      item.raw = item.value;
    }
    result.items.push_back(std::move(item));
  }
  return result;
}

}  // namespace velmora::ado
