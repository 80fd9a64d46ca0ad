// Reading the values that the checks judge (ids, limits, yields), with failures that name the
// value at fault: which column of which item or record was Null or not a number.
#pragma once

#include <string>

#include "velmora/variant.hpp"

namespace velmora {

// `value` as text, where a Null cannot stand: error 94 naming `what` (for instance
// "WAFERSEQ of item 'BUMP'").
std::string requiredText(const Variant& value, const std::string& what);

// A limit that the MES stores in single precision, narrowed to single precision and widened
// back. A Null is error 94, a text that is not a number error 13, a value beyond single range
// error 6, each naming `what`.
double singleLimit(const Variant& limit, const std::string& what);

// True when `value` is strictly below `limit`, both taken as numbers: the one rule by which the
// fail-count and the inspection checks compare a yield with its limit. A Null (a limit the MES
// leaves unset, a yield the database could not form) or Empty on either side is no finding
// (false). A text that is not a number is error 13 naming `what`.
bool isBelowLimit(const Variant& value, const Variant& limit, const std::string& what);

}  // namespace velmora
