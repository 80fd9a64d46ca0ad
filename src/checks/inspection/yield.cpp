#include "checks/inspection/yield.hpp"

#include <string>

#include "checks/inspection/defects.hpp"
#include "checks/inspection/statements.hpp"
#include "common/database.hpp"
#include "common/rounding.hpp"

namespace velmora {
namespace {

// value < limit as the check compares yields: never true with a Null operand.
bool isBelow(const Variant& value, const Variant& limit) {
  if (value.isNull() || limit.isNull()) return false;
  return value.toDouble() < limit.toDouble();
}

// A yield cell of a row: Null stays Null, anything else is rounded to 2 decimals.
Variant roundedYield(const Variant& yield) {
  if (yield.isNull()) return yield;
  return Variant(roundHalfEvenToHundredths(yield.toDouble()));
}

// The limit of a defect predicate: the field's value in single precision.
float singleLimit(const Variant& value) {
  return static_cast<float>(value.toSingle());
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

  if (isBelow(detail.Fields("LotYield"), run.item.field("USL"))) {
    if (variant.lotYieldSetsAugFail) flags.IsAUGFail = "Y";
    run.addLotDeviation(item + "/LLY");
  }

  const Variant cp = run.item.field("CP");
  if (!cp.isNull() && chkAugLotBump(run.context, singleLimit(cp), state.lotId, run.stationClass,
                                    state.inspection)) {
    flags.IsAUGFail = "Y";
    run.addLotDeviation(item + "/BYL");
  }

  const std::shared_ptr<Recordset> limits =
      run.mes().ExecuteQuery(lotLossRateStatement(run.item.sysid));
  for (; !limits->Eof(); limits->MoveNext()) {
    if (chkAugLotSingle(run.context, singleLimit(limits->Fields("LOTPERCENT")), state.lotId,
                        run.stationClass, limits->Fields("REASONCODE").toText(),
                        state.inspection)) {
      flags.IsAUGFail = "Y";
      run.addLotDeviation(item + "_" + limits->Fields("DESCRIPTION").toText() + "/SDL");
    }
  }
}

void checkWafer(Run& run, const Recordset& detail) {
  CheckState& state = run.state;
  Flags& flags = state.flags;
  const std::string& item = run.item.name;

  const std::shared_ptr<Recordset> sequences = run.mes().ExecuteQuery(
      waferSequenceStatement(state.lotId, detail.Fields("SWaferID").toText()));
  if (sequences->Eof()) return;
  const WaferRows rows{run, detail, sequences->Fields("SEQ")};
  const Variant waferId = detail.Fields("WaferId");

  const Variant cpk = run.item.field("CPK");
  if (!cpk.isNull() && chkAugWaferBump(run.context, singleLimit(cpk), state.lotId, run.stationClass,
                                       waferId, state.inspection)) {
    flags.IsAUGFail = "Y";
    rows.add(item, "BYW");
  }

  const std::shared_ptr<Recordset> limits =
      run.mes().ExecuteQuery(waferLossRateStatement(run.item.sysid));
  for (; !limits->Eof(); limits->MoveNext()) {
    if (chkAugWaferSingle(run.context, singleLimit(limits->Fields("WAFERPERCENT")), state.lotId,
                          run.stationClass, limits->Fields("REASONCODE").toText(), waferId,
                          state.inspection)) {
      flags.IsAUGFail = "Y";
      rows.add(item + "_" + limits->Fields("DESCRIPTION").toText(), "SDW");
    }
  }

  if (isBelow(detail.Fields("WaferYield"), run.item.field("LSL"))) {
    flags.IsAUGFail = "Y";
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
  state.flags.IsAUGCollect = "Y";

  const std::shared_ptr<Recordset> detail =
      runCommand(inspectionDetailStatement(state.lotId, run.stationClass), state.inspection);
  if (detail->Eof()) return;

  // The lot findings come from the first wafer row; the wafer loop starts again with it.
  checkLot(run, variant, *detail);
  for (; !detail->Eof(); detail->MoveNext()) checkWafer(run, *detail);
}

}  // namespace velmora
