#include "check/dispatch.hpp"

#include "checks/edc/cpcpk.hpp"
#include "checks/edc/failcount.hpp"
#include "checks/inspection/item.hpp"
#include "checks/spc/chart.hpp"
#include "checks/spc/comments.hpp"

namespace velmora {
namespace {

bool hasTimeVersion(const Run& run) {
  return !run.state.timeVersionSysid.empty();
}

}  // namespace

// The dispatch table (the item type as text, compared exactly; Null matches nothing):
//
//   "0" "1" "2"  with a time version: SPC chart check, capability check, comment records
//   "3"          with a time version: fail-count yield check, then the capability check when
//                it found fail-count rows
//   "4"          IsAUGItem; inspection yield check (lot-yield finding sets IsAUGFail)
//   "5"          IsAUGItem; with a time version the fail-count check over flagged and unflagged
//                data, which falls back to the inspection yield check when the item has no
//                basic data; without a time version the inspection yield check
//   other        nothing
ItemOutcome dispatchItem(Run& run) {
  if (run.item.type.isNull()) return ItemOutcome::kDone;
  const std::string type = run.item.type.toText();

  if (type == "0" || type == "1" || type == "2") {
    if (hasTimeVersion(run)) {
      runSpcChartCheck(run);
      runCpCpkCheck(run, kCpCpkAfterSpc);
      runCommentCheck(run);
    }
  } else if (type == "3") {
    if (hasTimeVersion(run)) runFailCountYieldCheck(run);
  } else if (type == "4") {
    run.state.flags.IsAUGItem = Flag::kYes;
    if (!runInspectionItem(run, kInspectionItem)) return ItemOutcome::kSqlFail;
  } else if (type == "5") {
    run.state.flags.IsAUGItem = Flag::kYes;
    if (hasTimeVersion(run)) {
      if (runFlaggedFailCountCheck(run) == FlaggedOutcome::kNoData) {
        if (!runInspectionItem(run, kInspectionWithoutFailCount)) return ItemOutcome::kSqlFail;
      }
    } else if (!runInspectionItem(run, kInspectionWithoutTimeVersion)) {
      return ItemOutcome::kSqlFail;
    }
  }
  return ItemOutcome::kDone;
}

}  // namespace velmora
