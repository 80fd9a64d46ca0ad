// ODBC connection strings ("Driver={FreeTDS};Server=db1;UID=u;PWD={p;w};") as the driver
// manager reads them, and the defaults the ODBC provider adds to them.
//
// Rules: items "key=value" separated by ";"; blanks around keys and unbraced values are ignored;
// keys compare without regard to ASCII case; a value in braces runs to the matching "}" ("}}"
// inside stands for "}") and may hold ";" and "="; empty items are skipped.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::ado::odbc {

struct Attribute {
  std::string key;    // as written, blanks trimmed
  std::string value;  // braces removed
};

// The items of `text`. An unterminated brace or text after a closing brace is error 5 naming the
// item's key; an item without "=" is error 5 naming its position (never any value, which may
// be a password).
std::vector<Attribute> parseAttributes(std::string_view text);

// The value of the first item with `key` (ODBC drivers take the first), or nullopt.
std::optional<std::string> findAttribute(const std::vector<Attribute>& attributes,
                                         std::string_view key);

// `value` enclosed in braces, "}" doubled: the form that keeps any value's meaning.
std::string braced(std::string_view value);

// `value` as a connection string writes it: as it is when that keeps its meaning, else braced
// (when it holds ";", "{", "}", "=" or blanks at either end).
std::string writtenValue(std::string_view value);

// The TDS protocol version FreeTDS is given when the connection string names none: without one
// FreeTDS falls back to probing old protocol versions against a server that does not answer,
// and never returns whatever the login timeout.
inline constexpr std::string_view kDefaultTdsVersion = "7.4";

// True when the item "Driver" names the FreeTDS driver (its registered name, or the path of its
// library libtdsodbc).
bool namesFreeTds(const std::vector<Attribute>& attributes);

// `connectionString` completed with the ODBC provider's defaults:
// - when it names no driver and no data source (no Driver, DSN or FileDSN item),
// "Driver={FreeTDS};"
//   is put in front: the provider serves SQL Server through FreeTDS unless told otherwise;
// - when the driver is FreeTDS and no TDS_Version item is given, "TDS_Version=7.4;" is added.
// Everything written stays as written. Parse errors as parseAttributes.
std::string withProviderDefaults(const std::string& connectionString);

// The values of the password items (PWD, Password) of `attributes`, to keep out of messages.
std::vector<std::string> secretsOf(const std::vector<Attribute>& attributes);

// `text` for an error description, its passwords never shown: as written when it holds no
// password; with its items written back by shownAttributes when it does. A text that cannot be
// read as a connection string is shown as written when it has no "=" (then it has no item, so no
// password), else replaced by a note that it is not shown.
std::string shownConnectionString(std::string_view text);

// `attributes` written back (values as writtenValue gives them) for an error description, the
// password items shown as "***".
std::string shownAttributes(const std::vector<Attribute>& attributes);

}  // namespace velmora::ado::odbc
