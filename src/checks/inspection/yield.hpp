// The inspection yield check: an EDC item judged against the wafer inspection system's records
// of the lot at the run's station class.
//
// With inspection records for the lot (IsAUGCollect), the check compares the first wafer row's
// lot yield with the item's USL ("LLY"), asks the defect predicates for the lot's bump rate
// against CP ("BYL") and each lot loss-rate limit ("SDL", one entry per exceeded reason), and
// then, wafer by wafer in the order the database returns them, the wafer's bump rate against
// CPK ("BYW"), each wafer loss-rate limit ("SDW") and the wafer yield against LSL ("WLY"). Lot
// findings become lot deviation entries "item/code" (for SDL "item_reason/SDL"); wafer findings
// become abnormality rows of collect type "2" that carry the wafer's Machine, its inspection
// slot (SWaferID), its MES sequence number, the record's InsertUser and both yields rounded to 2
// decimals. A wafer whose slot matches no MES wafer of the lot is skipped. Every finding sets
// IsAUGFail, except a lot-yield finding where the variant says otherwise. A Null limit or yield
// gives no finding; comparisons are strict.
#pragma once

#include "common/run.hpp"

namespace velmora {

// The one way in which the check's uses differ.
struct InspectionYieldVariant {
  bool lotYieldSetsAugFail;  // whether an "LLY" finding also sets IsAUGFail
};

// An item of type "4".
inline constexpr InspectionYieldVariant kInspectionItem{true};
// An item of type "5" with a time version whose fail-count check found no data.
inline constexpr InspectionYieldVariant kInspectionWithoutFailCount{false};
// An item of type "5" when the run has no time version.
inline constexpr InspectionYieldVariant kInspectionWithoutTimeVersion{false};

// Runs the check for run.item over the open connection run.state.inspection. A failing statement
// or a limit that is not a number reaches the caller (it ends the run); failures inside the
// defect predicates are traced there and count as no finding.
void runInspectionYieldCheck(Run& run, const InspectionYieldVariant& variant);

}  // namespace velmora
