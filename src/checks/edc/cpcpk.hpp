// Capability (CP/CPK) violations of an EDC item.
//
// The MES marks each flagged basic-data record with CPCPKVIOLATION ("0" for none). The check
// reads the mark of the first flagged, violating record of the item and the run's time version
// and turns it into at most one lot deviation entry "item/code". Which codes a mark gives, and
// whether the entry also sets IsEDCFail, depends on the kind of item the check follows.
#pragma once

#include "common/run.hpp"

namespace velmora {

struct CpCpkVariant {
  const char* mark1;  // code for mark "1"
  const char* mark2;  // code for mark "2"
  const char* mark3;  // code for mark "3", or null when the mark gives nothing
  bool setsEdcFail;
};

// After the fail-count yield check of a type "3" item.
inline constexpr CpCpkVariant kCpCpkAfterFailCount{"OFS", "OFCS", nullptr, true};
// After the flagged/unflagged fail-count check of a type "5" item.
inline constexpr CpCpkVariant kCpCpkAfterFlagged{"OFS", "OFCS", nullptr, false};
// After the SPC chart check of a type "0", "1" or "2" item.
inline constexpr CpCpkVariant kCpCpkAfterSpc{"CP", "CPK", "CPCPK", true};

// Runs the check for run.item. A failing query reaches the caller (it ends the run).
void runCpCpkCheck(Run& run, const CpCpkVariant& variant);

}  // namespace velmora
