// An inspection item's turn in the item loop: a connection of its own for the inspection yield
// check.
//
// Each inspection check gets a new connection to the inspection database, opened with the run's
// inspection settings just before the check and dropped from the check object right after it,
// however the check ends (normally, early, or by a failure that ends the run). When the
// connection cannot be opened the check does not run and the run is to end with "SqlFail".
#pragma once

#include "checks/inspection/yield.hpp"
#include "common/run.hpp"

namespace velmora {

// Opens run.state.inspection, runs the inspection yield check `variant` for run.item and drops
// the connection. False, without running the check, when the connection could not be opened
// (its failure is traced). Failures of the check reach the caller, after the drop.
bool runInspectionItem(Run& run, const InspectionYieldVariant& variant);

}  // namespace velmora
