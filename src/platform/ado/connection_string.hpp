// OLE DB connection strings ("Data Source=...;User Id=...;Password=...;Initial Catalog=...;").
// Their translation into ODBC connection strings is odbc/oledb_translation.hpp.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::ado {

// A parsed connection string: key=value items separated by ";".
//
// Rules (those of OLE DB, plus ODBC's braces so that an ODBC connection string passes through):
// - blanks around keys and values are ignored; keys compare without regard to ASCII case;
// - a value may be enclosed in '...' or "..." (the quote doubled inside stands for itself) or in
//   {...} ("}}" inside stands for "}"); enclosed values keep their blanks and may hold ";";
// - empty items (";;", a trailing ";") are skipped; an item without "=" is an error (5) naming it;
// - when a key occurs more than once, the last occurrence counts.
class ConnectionString {
 public:
  struct Item {
    std::string key;    // as written, blanks trimmed
    std::string value;  // unquoted
    std::string raw;    // the value as written, blanks trimmed (quotes or braces kept)
  };

  static ConnectionString parse(std::string_view text);

  const std::vector<Item>& items() const { return items_; }

  // The value of the last item with `key`, or nullopt.
  std::optional<std::string> find(std::string_view key) const;
  // The value of `key`, or "" when missing.
  std::string get(std::string_view key) const { return find(key).value_or(""); }

 private:
  std::vector<Item> items_;
};

// `value` as an OLE DB connection-string value that ConnectionString::parse reads back as
// `value`: as it is, or in double quotes (a quote inside doubled) when it holds ";", starts with
// a quote or "{", or has blanks at either end.
std::string oledbValue(std::string_view value);

}  // namespace velmora::ado
