// Reading one column value of the current row with SQLGetData, and turning numeric text into a
// number.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ado/odbc/odbc_api.hpp"
#include "velmora/variant.hpp"

namespace velmora::ado::odbc {

// The outcome of one SQLGetData call: its return code and the length/indicator it wrote.
struct Piece {
  SQLRETURN rc;
  SQLLEN indicator;
};

// One SQLGetData call for the current column into `buffer` of `bytes` bytes. It throws on
// SQL_ERROR (and any other failure), so that it returns SQL_SUCCESS, SQL_SUCCESS_WITH_INFO or
// SQL_NO_DATA only.
using GetData = std::function<Piece(char* buffer, SQLLEN bytes)>;

// Reads a variable-length value (text or binary) in full by calling `getData` until the driver
// has delivered all of it: each call fills a buffer of `chunkBytes` bytes, of which the driver
// keeps the last `terminatorBytes` (1 for SQL_C_CHAR, 2 for SQL_C_WCHAR, 0 for SQL_C_BINARY) for
// a terminating zero when it has more to give. A piece is taken as cut (and the next call made)
// whenever the driver says it has more than fitted, whether it gives the remaining length or
// SQL_NO_TOTAL. Returns the bytes, or nullopt for NULL.
std::optional<std::string> readPieces(const GetData& getData, std::size_t terminatorBytes,
                                      std::size_t chunkBytes = 16384);

// A NUMERIC or DECIMAL value from its text form ("-12", "97.50", ".5", "1E+20"): an integer when
// it has no fraction (only zeros after the point) and fits in 64 bits, a double otherwise. Text
// that is no number stays text.
Variant numericValue(std::string_view text);

}  // namespace velmora::ado::odbc
