#include "checks/edc/failcount_lot.hpp"

#include "checks/edc/defects.hpp"
#include "checks/edc/failcount_wafer.hpp"
#include "checks/edc/lookups.hpp"
#include "common/fields.hpp"
#include "common/statements.hpp"
#include "common/text.hpp"

namespace velmora {
namespace {

void addLotFinding(Run& run, const std::string& entry, bool setsEdcFail) {
  if (setsEdcFail) run.state.flags.IsEDCFail = Flag::kYes;
  run.addLotDeviation(entry);
}

}  // namespace

void judgeFailCountData(Run& run, Recordset& rows, bool lotYieldSetsEdcFail) {
  const std::string item = "item '" + run.item.name + "'";
  const std::string basicDataId =
      requiredText(rows.Fields("BASICDATASYSID"), "BASICDATASYSID of " + item);
  const std::string lotYieldText = getLotYield(run, basicDataId);

  const Variant cp = run.item.field("CP");
  if (!cp.isNull() && chkLotBumpDefect(run, singleLimit(cp, "CP of " + item), basicDataId)) {
    addLotFinding(run, run.item.name + "/BYL", true);
  }

  {
    const std::shared_ptr<Recordset> limits =
        run.mes().ExecuteQuery(lotLossRateStatement(run.item.sysid));
    for (; !limits->Eof(); limits->MoveNext()) {
      const std::string reason = limits->Fields("REASONCODE").toText();
      const double limit = singleLimit(limits->Fields("LOTPERCENT"),
                                       "LOTPERCENT of reason '" + reason + "' of " + item);
      if (chkLotSingleDefect(run, limit, basicDataId, reason)) {
        addLotFinding(run, run.item.name + "_" + limits->Fields("DESCRIPTION").toText() + "/SDL",
                      true);
      }
    }
  }

  const double lotYield = leadingNumber(lotYieldText);
  judgeWafers(run, rows, basicDataId, lotYield);

  if (isBelowLimit(Variant(lotYield), run.item.field("USL"), "lot yield against USL of " + item)) {
    addLotFinding(run, run.item.name + "/LLY", lotYieldSetsEdcFail);
  }
}

}  // namespace velmora
