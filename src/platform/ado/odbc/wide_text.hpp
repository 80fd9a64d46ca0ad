// Text conversion between the component's UTF-8 and ODBC's wide characters (SQLWCHAR, UTF-16
// code units with unixODBC). The driver is driven through the wide calls so that non-ASCII text
// reaches the database and comes back intact whatever the process locale or the driver's own
// narrow character set.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/ado/odbc/odbc_api.hpp"

namespace velmora::ado::odbc {

// `text` (UTF-8) as UTF-16 code units followed by a terminating 0. Bytes that are not valid
// UTF-8 each become U+FFFD.
std::vector<SQLWCHAR> toWide(std::string_view text);

// `count` UTF-16 code units at `units` as UTF-8. An unpaired surrogate becomes U+FFFD.
std::string fromWide(const SQLWCHAR* units, std::size_t count);

// The same for a vector of code units (all of them; no terminator expected).
inline std::string fromWide(const std::vector<SQLWCHAR>& units) {
  return fromWide(units.data(), units.size());
}

}  // namespace velmora::ado::odbc
