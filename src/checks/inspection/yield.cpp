#include "checks/inspection/yield.hpp"

#include <string>

#include "checks/inspection/defects.hpp"
#include "checks/inspection/statements.hpp"
#include "common/database.hpp"
#include "common/fields.hpp"
#include "common/rounding.hpp"
#include "common/statements.hpp"

namespace velmora {
namespace {

// A yield cell of a row: Null stays Null, anything else is rounded to 2 decimals.
Variant roundedYield(const Variant& yield) {
  if (yield.isNull()) return yield;
  return Variant(roundHalfEvenToHundredths(yield.toDouble()));
}

// The limit of a defect predicate: the field's value in single precision (exact: singleLimit
// has narrowed it already).
float predicateLimit(const Variant& value, const std::string& what) {
  return static_cast<float>(singleLimit(value, what));
}

// What the wafer rows of one detail row share; the sequence number is formatted only when a row
// is added, so a wafer without findings never needs it.
struct WaferRows {
  Run& run;
  const Recordset& detail;
  Variant sequence;  // SEQ of the first MES wafer whose id starts with the wafer's slot

  void add(const std::string& itemName, const char* code) const {
    Row& row = run.addRow();
    row[col::kItemName] = Variant(itemName);
    row[col::kEqpId] = Variant(detail.Fields("Machine").toText());
    row[col::kCollectType] = Variant("2");
    row[col::kWaferSeq] = Variant(formatDouble(sequence.toDouble()));
    row[col::kWaferId] = detail.Fields("SWaferID");
    row[col::kFinding] = Variant(code);
    row[col::kTa] = Variant(detail.Fields("InsertUser").toText());
    row[col::kLotYield] = roundedYield(detail.Fields("LotYield"));
    row[col::kWaferYield] = roundedYield(detail.Fields("WaferYield"));
  }
};

void checkLot(Run& run, const InspectionYieldVariant& variant, const Recordset& detail) {
  CheckState& state = run.state;
  Flags& flags = state.flags;
  const std::string& item = run.item.name;
  const std::string ofItem = " of item '" + item + "'";

  if (isBelowLimit(detail.Fields("LotYield"), run.item.field("USL"),
                   "LotYield against USL" + ofItem)) {
    if (variant.lotYieldSetsAugFail) flags.IsAUGFail = Flag::kYes;
    run.addLotDeviation(item + "/LLY");
  }

  const Variant cp = run.item.field("CP");
  if (!cp.isNull() && chkAugLotBump(run.context, predicateLimit(cp, "CP" + ofItem), state.lotId,
                                    run.stationClass, state.inspection)) {
    flags.IsAUGFail = Flag::kYes;
    run.addLotDeviation(item + "/BYL");
  }

  const std::shared_ptr<Recordset> limits =
      run.mes().ExecuteQuery(lotLossRateStatement(run.item.sysid));
  for (; !limits->Eof(); limits->MoveNext()) {
    const std::string reason = limits->Fields("REASONCODE").toText();
    const float limit = predicateLimit(limits->Fields("LOTPERCENT"),
                                       "LOTPERCENT of reason '" + reason + "'" + ofItem);
    if (chkAugLotSingle(run.context, limit, state.lotId, run.stationClass, reason,
                        state.inspection)) {
      flags.IsAUGFail = Flag::kYes;
      run.addLotDeviation(item + "_" + limits->Fields("DESCRIPTION").toText() + "/SDL");
    }
  }
}

void checkWafer(Run& run, const Recordset& detail) {
  CheckState& state = run.state;
  Flags& flags = state.flags;
  const std::string& item = run.item.name;
  const std::string ofItem = " of item '" + item + "'";

  const std::shared_ptr<Recordset> sequences = run.mes().ExecuteQuery(
      waferSequenceStatement(state.lotId, detail.Fields("SWaferID").toText()));
  if (sequences->Eof()) return;
  const WaferRows rows{run, detail, sequences->Fields("SEQ")};
  const Variant waferId = detail.Fields("WaferId");

  const Variant cpk = run.item.field("CPK");
  if (!cpk.isNull() && chkAugWaferBump(run.context, predicateLimit(cpk, "CPK" + ofItem),
                                       state.lotId, run.stationClass, waferId, state.inspection)) {
    flags.IsAUGFail = Flag::kYes;
    rows.add(item, "BYW");
  }

  const std::shared_ptr<Recordset> limits =
      run.mes().ExecuteQuery(waferLossRateStatement(run.item.sysid));
  for (; !limits->Eof(); limits->MoveNext()) {
    const std::string reason = limits->Fields("REASONCODE").toText();
    const float limit = predicateLimit(limits->Fields("WAFERPERCENT"),
                                       "WAFERPERCENT of reason '" + reason + "'" + ofItem);
    if (chkAugWaferSingle(run.context, limit, state.lotId, run.stationClass, reason, waferId,
                          state.inspection)) {
      flags.IsAUGFail = Flag::kYes;
      rows.add(item + "_" + limits->Fields("DESCRIPTION").toText(), "SDW");
    }
  }

  if (isBelowLimit(detail.Fields("WaferYield"), run.item.field("LSL"),
                   "WaferYield against LSL" + ofItem)) {
    flags.IsAUGFail = Flag::kYes;
    rows.add(item, "WLY");
  }
}

}  // namespace

void runInspectionYieldCheck(Run& run, const InspectionYieldVariant& variant) {
  CheckState& state = run.state;
  const std::shared_ptr<Recordset> count =
      runCommand(inspectionCountStatement(state.lotId, run.stationClass), state.inspection);
  const Variant records = count->Fields(0);
  if (records.isNull() || !(records.toDouble() > 0)) return;
  state.flags.IsAUGCollect = Flag::kYes;

  const std::shared_ptr<Recordset> detail =
      runCommand(inspectionDetailStatement(state.lotId, run.stationClass), state.inspection);
  if (detail->Eof()) return;

  // The lot findings come from the first wafer row; the wafer loop starts again with it.
  checkLot(run, variant, *detail);
  for (; !detail->Eof(); detail->MoveNext()) checkWafer(run, *detail);
}

}  // namespace velmora
