// Defect-rate predicates over the inspection database.
//
// Each answers one question: does the defect rate that the inspection system recorded for the
// lot (or one wafer of it) at the station class exceed a limit? Bump defects are the codes 100
// to 199 summed; a single defect is one code, the reason code of an EDC loss-rate row. The rate
// is the defect sum divided by the inspected dies, times 100, in double precision; the limit is
// a single-precision number widened to double, and only a rate strictly above it answers true.
// Only the first row of the grouped sum counts.
//
// Each predicate is a traced procedure: it writes its start entry, and on data that answered
// unfit (a die base of 0, a value that is not a number, a server's data exception) its error
// entry, and answers false. When the inspection database could not answer (a failing statement,
// a lost connection, a timeout) the error entry is written and the run ends (procedure.hpp).
// No row, or a null sum or die base, answers false. A
// defect code or wafer id that is not a plain number (isPlainNumber) is never sent: the error
// entry names the rejected value and the answer is false.
#pragma once

#include <memory>
#include <string>

#include "velmora/context.hpp"
#include "velmora/variant.hpp"

namespace velmora {

namespace ado {
class Connection;
}

// Bump-defect rate of the lot over InspectionDie * SelectedSamples, above `limit`.
bool chkAugLotBump(const Context& context, float limit, const std::string& lotId,
                   const std::string& station, const std::shared_ptr<ado::Connection>& connection);

// Rate of defect code `defectCode` of the lot over InspectionDie * SelectedSamples, above `limit`.
bool chkAugLotSingle(const Context& context, float limit, const std::string& lotId,
                     const std::string& station, const std::string& defectCode,
                     const std::shared_ptr<ado::Connection>& connection);

// Bump-defect rate of the wafer `waferId` (its text form is sent) over InspectionDie, above
// `limit`.
bool chkAugWaferBump(const Context& context, float limit, const std::string& lotId,
                     const std::string& station, const Variant& waferId,
                     const std::shared_ptr<ado::Connection>& connection);

// Rate of defect code `defectCode` on the wafer `waferId` over InspectionDie, above `limit`.
bool chkAugWaferSingle(const Context& context, float limit, const std::string& lotId,
                       const std::string& station, const std::string& defectCode,
                       const Variant& waferId, const std::shared_ptr<ado::Connection>& connection);

}  // namespace velmora
