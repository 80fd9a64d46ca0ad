// The check run: prepares the run, finds the lot's EDC items and time version, hands each item
// to its checks, and summarises the findings.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "common/run.hpp"

namespace velmora {

// Performs one check run for state.lotId and state.stepId and returns its result: "ok" when it
// ended normally, "SqlFail" when an inspection connection could not be opened, "" when a
// failure ended it: the database could not answer, or a statement of the driver or of a check
// outside any procedure failed. The failure has one error entry, under the innermost procedure
// where it happened ("Execute" outside any). Never throws.
std::string executeCheckRun(const Context& context, CheckState& state);

// The inspection database settings read through a new configuration-file reader of the context
// (section MSSQL: ServerName, UserName, InitDB, and the optional Password).
InspectionSettings readInspectionSettings(const Context& context);

// The EDC items of the lot and step: the run-card definitions of the lot, else those of the lot
// id's part before its first "." (for a lot id with a "."), else the non-run-card definitions
// of the lot's specification.
std::shared_ptr<Recordset> findEdcItems(Run& run);
// The same for `lot` at `step` outside a run: `send` answers each statement.
std::shared_ptr<Recordset> findEdcItems(
    const std::function<std::shared_ptr<Recordset>(const Statement&)>& send, const std::string& lot,
    const std::string& step);

// Looks up the lot's latest time version for the product EDC and the step and stores its SYSID
// and TA on the check object (both "" when there is none), setting IsEDCCollect.
void findTimeVersion(Run& run);

}  // namespace velmora
