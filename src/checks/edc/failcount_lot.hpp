// The judgement shared by the fail-count checks, over the rows of their fail-count query (one
// row per fail-count record, columns EQPID, BASICDATASYSID, FAILCOUNTSYSID, VIOLATIONFLAG,
// WAFERYIELD, WAFERSEQ).
#pragma once

#include "common/run.hpp"
#include "velmora/recordset.hpp"

namespace velmora {

// Judges run.item over `rows`, which must have a current row. The first row's BASICDATASYSID
// names the basic-data record of every lot-level step and every rate check. In order:
//   - the lot yield of that record (getLotYield; "" counts as 0);
//   - "BYL": when the item's CP is not Null and the lot bump-defect rate exceeds CP;
//   - "SDL": for each lot loss-rate limit of the item whose reason's lot rate exceeds it, the
//     entry item + "_" + reason description + "/SDL";
//   - the wafer loop over all rows (failcount_wafer.hpp);
//   - "LLY": when the lot yield is below the item's USL.
// Lot findings are appended to the lot deviation list as item + "/" + code and set IsEDCFail,
// except "LLY" when `lotYieldSetsEdcFail` is false. Leaves `rows` at its end.
void judgeFailCountData(Run& run, Recordset& rows, bool lotYieldSetsEdcFail);

}  // namespace velmora
