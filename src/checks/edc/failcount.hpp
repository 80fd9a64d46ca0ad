// The fail-count checks of EDC items: the yield check of fail-count items (type "3") and the
// check over flagged and unflagged data of items collected either as fail counts or by the
// inspection system (type "5").
//
// Both read the item's fail-count rows of the run's time version and judge them with the same
// steps (see failcount_lot.hpp): lot bump defects "BYL", lot loss rates "SDL", the wafer loop
// ("BYW", "SDW", fail reason codes below the wafer-yield limit, "OFC", "OFCS") and the lot
// yield "LLY"; then the capability (CP/CPK) check of the item's kind. They differ in the query,
// in whether "LLY" sets IsEDCFail, and in the capability variant that follows.
//
// Both need the run's time version (the driver calls them only when there is one). A failing
// query or an unusable value (a Null id, a limit that is not a number) throws and ends the run.
#pragma once

#include "common/run.hpp"

namespace velmora {

// Judges run.item as a fail-count item: its flagged basic data with fail-count records whose
// FAILCOUNT is above 0. When there is such a row the item is judged and the capability check
// for fail-count items follows (its findings set IsEDCFail); returns whether there was one.
// Without a row nothing else happens for the item (no capability check either).
bool runFailCountYieldCheck(Run& run);

// What the check over flagged and unflagged data found for the item.
enum class FlaggedOutcome {
  kNoData,     // no basic data with FLAG '1' or '0': the item is for the inspection system
  kUnflagged,  // IsAUGCollect set; the first row's FLAG is '0': nothing is judged
  kJudged,     // IsAUGCollect set; judged, followed by the capability check of such items
};

// Judges run.item over its basic data with FLAG '1' or '0', including records without
// fail-count records (those take no part in the wafer loop). The lot yield finding "LLY" does
// not set IsEDCFail here; every other finding does. On kNoData nothing has changed and the
// caller hands the item to the inspection yield check.
FlaggedOutcome runFlaggedFailCountCheck(Run& run);

}  // namespace velmora
