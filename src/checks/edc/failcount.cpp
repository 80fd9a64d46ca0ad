#include "checks/edc/failcount.hpp"

#include "checks/edc/cpcpk.hpp"
#include "checks/edc/failcount_lot.hpp"
#include "checks/edc/statements.hpp"

namespace velmora {
namespace {

// What distinguishes the two fail-count checks once their rows are found.
struct FailCountKind {
  bool lotYieldSetsEdcFail;
  const CpCpkVariant& capability;
};

constexpr FailCountKind kFailCountItem{true, kCpCpkAfterFailCount};
constexpr FailCountKind kFlaggedItem{false, kCpCpkAfterFlagged};

// Judges the found rows, releases them, then runs the kind's capability check.
void judge(Run& run, std::shared_ptr<Recordset> rows, const FailCountKind& kind) {
  judgeFailCountData(run, *rows, kind.lotYieldSetsEdcFail);
  rows.reset();
  runCpCpkCheck(run, kind.capability);
}

}  // namespace

bool runFailCountYieldCheck(Run& run) {
  std::shared_ptr<Recordset> rows =
      run.mes().ExecuteQuery(failCountStatement(run.state.timeVersionSysid, run.item.sysid));
  if (rows->Eof()) return false;
  judge(run, std::move(rows), kFailCountItem);
  return true;
}

FlaggedOutcome runFlaggedFailCountCheck(Run& run) {
  std::shared_ptr<Recordset> rows =
      run.mes().ExecuteQuery(flaggedStatement(run.state.timeVersionSysid, run.item.sysid));
  if (rows->Eof()) return FlaggedOutcome::kNoData;
  run.state.flags.IsAUGCollect = Flag::kYes;
  // Data set aside by the MES (its first record unflagged) counts as collected, not judged.
  if (rows->Fields("FLAG").toText() == "0") return FlaggedOutcome::kUnflagged;
  judge(run, std::move(rows), kFlaggedItem);
  return FlaggedOutcome::kJudged;
}

}  // namespace velmora
