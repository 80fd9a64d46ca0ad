// EDC lookups: single facts the fail-count checks read from the MES database through
// SelectRecords, under the rules of the shared lookups (common/lookups.hpp: traced procedures,
// kNeedTimeVersion without a time version).
#pragma once

#include <string>
#include <string_view>

#include "common/lookups.hpp"
#include "common/run.hpp"

namespace velmora {

// The yield of basic-data record `basicDataId` over all its fail-count records, in percent:
// (sum of SAMPLESIZE - sum of FAILCOUNT) / sum of SAMPLESIZE * 100, rounded to 2 decimals with
// halves going to the even neighbour, as text with one leading blank when not negative
// (" 97.5", "-2.5"). A zero sample sum (also: no fail-count record) is a division by zero: it is
// traced and the answer is "". Callers take the number back with leadingNumber.
std::string getLotYield(Run& run, const std::string& basicDataId);

// The distinct failure reason codes at the sites of fail-count record `failCountId`, in the
// order first seen, joined by "," (codes differing only in letter case count once, the first
// spelling kept); "" when there is none.
std::string getReasons(Run& run, const std::string& failCountId);

// The number at the start of `text` (blanks before it skipped), 0 when the text does not start
// with one: " 97.5" gives 97.5, "" and "Need TimeVerion Sysid" give 0. This is how a lot yield
// text is taken back as a number.
double leadingNumber(std::string_view text);

}  // namespace velmora
