#include "checks/inspection/item.hpp"

#include "common/database.hpp"
#include "platform/ado/connection.hpp"

namespace velmora {
namespace {

// Drops the check object's inspection connection when the item's turn ends, on every path.
class InspectionConnectionScope {
 public:
  explicit InspectionConnectionScope(CheckState& state) : state_(state) {}
  ~InspectionConnectionScope() { state_.inspection.reset(); }
  InspectionConnectionScope(const InspectionConnectionScope&) = delete;
  InspectionConnectionScope& operator=(const InspectionConnectionScope&) = delete;

 private:
  CheckState& state_;
};

}  // namespace

bool runInspectionItem(Run& run, const InspectionYieldVariant& variant) {
  // In place before the open: a failed open leaves a new, unopened connection behind.
  const InspectionConnectionScope scope(run.state);
  if (!getMSSQLConnect(run, run.inspection)) return false;
  runInspectionYieldCheck(run, variant);
  return true;
}

}  // namespace velmora
