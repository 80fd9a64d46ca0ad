#include "checks/edc/failcount_wafer.hpp"

#include "checks/edc/defects.hpp"
#include "checks/edc/lookups.hpp"
#include "common/fields.hpp"
#include "common/statements.hpp"
#include "common/text.hpp"

namespace velmora {
namespace {

// What every row added for one fail-count row carries besides its name and finding.
struct Wafer {
  std::string eqpId;
  Variant waferSeq;
  std::string waferId;
  Variant waferYield;
};

void addWaferRow(Run& run, const Wafer& wafer, double lotYield, std::string name,
                 std::string finding) {
  run.state.flags.IsEDCFail = Flag::kYes;
  Row& row = run.addRow();
  row[col::kItemName] = Variant(std::move(name));
  row[col::kEqpId] = Variant(wafer.eqpId);
  row[col::kCollectType] = Variant("2");
  row[col::kWaferSeq] = wafer.waferSeq;
  row[col::kWaferId] = Variant(wafer.waferId);
  row[col::kFinding] = Variant(std::move(finding));
  row[col::kTa] = Variant(run.state.timeVersionTa);
  row[col::kLotYield] = Variant(lotYield);
  row[col::kWaferYield] = wafer.waferYield;
}

}  // namespace

void judgeWafers(Run& run, Recordset& rows, const std::string& basicDataId, double lotYield) {
  const std::string item = "item '" + run.item.name + "'";
  const Variant cpk = run.item.field("CPK");
  const Variant lsl = run.item.field("LSL");
  // The same limits serve every wafer; the statement is built once and run for each wafer.
  const Statement limitsSql = waferLossRateStatement(run.item.sysid);

  for (; !rows.Eof(); rows.MoveNext()) {
    const Variant failCountId = rows.Fields("FAILCOUNTSYSID");
    // A basic-data record without fail-count records has no wafer to judge.
    if (failCountId.isNull()) continue;

    Wafer wafer;
    wafer.waferSeq = rows.Fields("WAFERSEQ");
    const std::string seq = requiredText(wafer.waferSeq, "WAFERSEQ of " + item);
    wafer.waferId = getWaferId(run, run.state.lotId, seq);
    wafer.eqpId = rows.Fields("EQPID").toText();
    wafer.waferYield = rows.Fields("WAFERYIELD");

    if (!cpk.isNull() &&
        chkWaferBumpDefect(run, singleLimit(cpk, "CPK of " + item), basicDataId, seq)) {
      addWaferRow(run, wafer, lotYield, run.item.name, "BYW");
    }

    {
      const std::shared_ptr<Recordset> limits = run.mes().ExecuteQuery(limitsSql);
      for (; !limits->Eof(); limits->MoveNext()) {
        const std::string reason = limits->Fields("REASONCODE").toText();
        const double limit = singleLimit(limits->Fields("WAFERPERCENT"),
                                         "WAFERPERCENT of reason '" + reason + "' of " + item);
        if (chkWaferSingleDefect(run, limit, basicDataId, reason, seq)) {
          addWaferRow(run, wafer, lotYield,
                      run.item.name + "_" + limits->Fields("DESCRIPTION").toText(), "SDW");
        }
      }
    }

    if (isBelowLimit(wafer.waferYield, lsl, "WAFERYIELD against LSL of " + item)) {
      const std::string reasons =
          getReasons(run, requiredText(failCountId, "FAILCOUNTSYSID of " + item));
      addWaferRow(run, wafer, lotYield, run.item.name, reasons);
    }

    const std::string flag = rows.Fields("VIOLATIONFLAG").toText();
    if (flag == "2") {
      addWaferRow(run, wafer, lotYield, run.item.name, "OFC");
    } else if (flag == "3") {
      addWaferRow(run, wafer, lotYield, run.item.name, "OFCS");
    }
  }
}

}  // namespace velmora
