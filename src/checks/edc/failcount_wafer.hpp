// The wafer loop of the fail-count checks: wafer-level findings as abnormality-table rows.
#pragma once

#include <string>

#include "common/run.hpp"
#include "velmora/recordset.hpp"

namespace velmora {

// Walks `rows` from its current row to its end. Rows without a fail-count record (Null
// FAILCOUNTSYSID, from an outer join) are skipped. For every other row, after looking up the
// wafer id, it adds a row for each finding, in this order, setting IsEDCFail for each:
//   "BYW"   the item's CPK is not Null and the wafer's bump-defect rate exceeds it;
//   "SDW"   per wafer loss-rate limit of the item (queried again for every wafer) whose
//           reason's wafer rate exceeds it; column 1 is item + "_" + reason description;
//   codes   WAFERYIELD below the item's LSL: the wafer's distinct fail reason codes;
//   "OFC"   VIOLATIONFLAG "2";  "OFCS"  VIOLATIONFLAG "3".
// Rows carry collect type "2", the row's EQPID, WAFERSEQ (as read), the wafer id, the time
// version's TA, `lotYield` and the row's WAFERYIELD (as read). The rate checks use the
// basic-data record `basicDataId` and the row's WAFERSEQ.
void judgeWafers(Run& run, Recordset& rows, const std::string& basicDataId, double lotYield);

}  // namespace velmora
