// Text and SQL-fragment routines: message and column lists, SQL conditions, comma lists of
// codes, splitting "item/code" entries, and the station class of a station id.
//
// "Blank" means empty after removing leading and trailing spaces. Comparisons are exact and
// case-sensitive.
#pragma once

#include <string>
#include <string_view>

#include "platform/sql/statement.hpp"

namespace velmora {

// True when `text` is empty after removing leading and trailing spaces.
bool isBlank(std::string_view text);

// `text` without leading and trailing spaces.
std::string trimSpaces(std::string_view text);

// A value made safe to stand between single quotes in a statement: every single quote doubled
// (sqlQuotesDoubled). A value without quotes comes back unchanged.
std::string sqlValue(std::string_view value);

// list becomes `item` when it is blank, else list + ", " + item. Returns the new list.
std::string appendList(std::string& list, const std::string& item);

// condition becomes field + " = '" + value + "' " when it is blank, else condition + " AND " +
// that term. The value's quotes are doubled. Returns the new condition.
std::string appendCondition(std::string& condition, const std::string& field,
                            const std::string& value);
// The same term on a statement value, the value marked.
const Statement& appendCondition(Statement& condition, const std::string& field,
                                 const std::string& value);

// "FQC" when the id contains "FQ", else "IQC" when it contains "IQ", else "IPQC".
std::string stationClass(const std::string& stationId);

// first when second is blank; second when first is blank; else first + "," + second.
std::string joinText(const std::string& first, const std::string& second);

// The part of `text` before the first `delimiter`; `text` when there is none; "" for "".
std::string textBefore(const std::string& text, const std::string& delimiter);

// The part of `text` after the first character of the first `delimiter`; `text` when there is
// none; "" for "".
std::string textAfter(const std::string& text, const std::string& delimiter);

}  // namespace velmora
