#include "check/dispatch.hpp"

#include "checks/edc/cpcpk.hpp"

namespace velmora {
namespace {

bool hasTimeVersion(const Run& run) { return !run.state.timeVersionSysid.empty(); }

}  // namespace

// The dispatch table (the item type as text, compared exactly; Null matches nothing).
ItemOutcome dispatchItem(Run& run) {
  if (run.item.type.isNull()) return ItemOutcome::kDone;
  const std::string type = run.item.type.toText();

  if (type == "0" || type == "1" || type == "2") {
    if (hasTimeVersion(run)) runCpCpkCheck(run, kCpCpkAfterSpc);
  } else if (type == "4" || type == "5") {
    run.state.flags.IsAUGItem = "Y";
  }
  return ItemOutcome::kDone;
}

}  // namespace velmora
