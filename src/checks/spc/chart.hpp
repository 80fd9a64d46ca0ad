// SPC chart violations of an EDC item.
//
// The MES keeps two control charts for every flagged basic-data record of an item and marks
// each statistics record with a violation flag per chart ("0" none, "1", "2", "3", or empty)
// and the rules the chart violated. A statistics record whose charts show a violation becomes
// one wafer row (collect type "1") whose finding is the code of the higher flag ("1" OFC, "2"
// OFS, "3" OFCS) followed by the rules of chart 1 and of chart 2.
#pragma once

#include <optional>
#include <string>

#include "common/run.hpp"

namespace velmora {

// What the MES stored for one statistics record: the two charts' flags and rule texts.
struct ChartMarks {
  std::string flag1, flag2;
  std::string rules1, rules2;
};

// The finding of one statistics record, or nullopt when it is no violation.
//
// Both flags empty: no violation, whatever the rules say. Otherwise it is a violation when
// either flag is not "0" or there are rules. The finding is the code of the highest flag
// ("3" over "2" over "1") joined with the rules (rules1 then rules2, joined by ","), or the
// rules alone when neither flag is "1", "2" or "3". A record with one flag empty, the other
// "0" and no rules therefore gives "": a violation without a code, which no record reports.
std::optional<std::string> chartFinding(const ChartMarks& marks);

// Runs the check for run.item under the run's time version: one abnormality row per violating
// statistics record, in the order the database returns them, and IsEDCFail "Y" when there is
// one. A failing chart query reaches the caller (it ends the run); the wafer lookups trace
// their own failures and leave their cells "".
void runSpcChartCheck(Run& run);

}  // namespace velmora
