#include "checks/edc/failcount.hpp"

#include "checks/edc/cpcpk.hpp"
#include "checks/edc/failcount_lot.hpp"
#include "common/text.hpp"

namespace velmora {
namespace {

// What distinguishes the two fail-count checks once their rows are found.
struct FailCountKind {
  bool lotYieldSetsEdcFail;
  const CpCpkVariant& capability;
};

constexpr FailCountKind kFailCountItem{true, kCpCpkAfterFailCount};
constexpr FailCountKind kFlaggedItem{false, kCpCpkAfterFlagged};

// The item's flagged basic data of the time version with fail-count records above 0 failures.
std::string failCountQuery(const Run& run) {
  return "SELECT A.EQPID,A.SYSID BASICDATASYSID,B.SYSID FAILCOUNTSYSID,B.VIOLATIONFLAG,"
         "ROUND((B.SAMPLESIZE - B.FAILCOUNT ) / B.SAMPLESIZE * 100,2) WAFERYIELD,B.WAFERSEQ "
         " FROM EDC_PRD_BASICDATA A,EDC_PRD_FAILCOUNT B "
         " WHERE A.TIMEVERSIONSYSID='" +
         sqlValue(run.state.timeVersionSysid) + "' " + " AND A.EDCITEMSYSID='" +
         sqlValue(run.item.sysid) + "' " +
         " AND A.FLAG='1' AND A.SYSID=B.BASICDATASYSID AND B.FAILCOUNT>0 ";
}

// The item's basic data of the time version flagged '1' or '0', each with its fail-count
// records (all of them), or once with Null fail-count columns when it has none.
std::string flaggedQuery(const Run& run) {
  return "SELECT A.EQPID,A.SYSID BASICDATASYSID,B.SYSID FAILCOUNTSYSID,B.VIOLATIONFLAG,"
         " ROUND((B.SAMPLESIZE - B.FAILCOUNT ) / B.SAMPLESIZE * 100,2) WAFERYIELD,B.WAFERSEQ,"
         "A.FLAG "
         " FROM EDC_PRD_BASICDATA A,EDC_PRD_FAILCOUNT B "
         " WHERE A.TIMEVERSIONSYSID='" +
         sqlValue(run.state.timeVersionSysid) + "' " + " AND A.EDCITEMSYSID='" +
         sqlValue(run.item.sysid) + "' " +
         " AND (A.FLAG='1' OR A.FLAG='0') AND A.SYSID=B.BASICDATASYSID(+) ";
}

// Judges the found rows, releases them, then runs the kind's capability check.
void judge(Run& run, std::shared_ptr<Recordset> rows, const FailCountKind& kind) {
  judgeFailCountData(run, *rows, kind.lotYieldSetsEdcFail);
  rows.reset();
  runCpCpkCheck(run, kind.capability);
}

}  // namespace

bool runFailCountYieldCheck(Run& run) {
  std::shared_ptr<Recordset> rows = run.mes().ExecuteQuery(failCountQuery(run));
  if (rows->Eof()) return false;
  judge(run, std::move(rows), kFailCountItem);
  return true;
}

FlaggedOutcome runFlaggedFailCountCheck(Run& run) {
  std::shared_ptr<Recordset> rows = run.mes().ExecuteQuery(flaggedQuery(run));
  if (rows->Eof()) return FlaggedOutcome::kNoData;
  run.state.flags.IsAUGCollect = Flag::kYes;
  // Data set aside by the MES (its first record unflagged) counts as collected, not judged.
  if (rows->Fields("FLAG").toText() == "0") return FlaggedOutcome::kUnflagged;
  judge(run, std::move(rows), kFlaggedItem);
  return FlaggedOutcome::kJudged;
}

}  // namespace velmora
