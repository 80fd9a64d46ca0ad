// The item syntax that OLE DB and ODBC connection strings share.
//
// Both are "key=value" items separated by ";": blanks around keys and unenclosed values are
// ignored, empty items (";;", a trailing ";") are skipped, and a value may be enclosed so that it
// keeps its blanks and may hold ";". The dialects differ in the marks that enclose a value and in
// how they report a malformed item, so the scanner returns what is wrong and where, and leaves
// the message to them. No message may show a value: it may be a password.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::ado {

// A blank around keys and values: space, tab, carriage return or line feed.
bool isConnectionBlank(char c);

// `text` without blanks at either end.
std::string trimBlanks(std::string_view text);

struct ConnectionItem {
  std::size_t start = 0;  // the offset of the item's first character in the text
  std::string key;        // as written, blanks trimmed (may be empty)
  std::string value;      // enclosing marks removed, doubled closing marks undoubled
  std::string raw;        // the value as written, blanks trimmed (enclosing marks kept)
};

enum class ItemFault {
  kNone,
  kNoEquals,        // an item without "="
  kUnclosed,        // an enclosed value without its closing mark
  kTextAfterClose,  // something other than blanks between the closing mark and the next ";"
};

struct ConnectionItems {
  std::vector<ConnectionItem> items;  // in the text's order, up to the malformed item
  ItemFault fault = ItemFault::kNone;
  ConnectionItem faulty;  // the malformed item's start and key, when `fault` is set
};

// Splits `text` into its items, stopping at the first malformed one. A value is enclosed when
// its first character is one of `openers`; "{" closes with "}", any other opener with itself,
// and the closing mark written twice inside stands for itself.
ConnectionItems splitConnectionItems(std::string_view text, std::string_view openers);

}  // namespace velmora::ado
