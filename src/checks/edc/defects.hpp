// Bump and single-reason defect rates of EDC fail-count data, compared with a limit.
//
// Fail-count data has three levels: EDC_Prd_FailCount (one record per wafer of a basic-data
// record, with its sample size), EDC_Prd_FailCount_Site (the sites of a wafer, each with a
// sample size) and EDC_Prd_FailReason (the failures per reason code at a site). A bump check
// counts failures whose reason code is one of the bump-defect codes configured in the MES; a
// single check counts failures of one reason code. Each exists for the whole basic-data record
// (the lot) and for one wafer sequence number.
//
// Limits are percentages stored by the MES in single precision: callers pass them narrowed to
// single precision and widened back (Variant::toSingle). A rate is a finding only when it is
// strictly greater than its limit.
//
// Every operation is a traced procedure: after data that answered unfit (traced) it answers
// false, or for getBumpDefect the list built so far; when the database could not answer, the
// run ends (procedure.hpp).
#pragma once

#include <string>

#include "common/run.hpp"

namespace velmora {

// The configured bump-defect reason codes as an SQL IN list: 'B1','B2' ("" when none are
// configured). Queried afresh on every call.
std::string getBumpDefect(Run& run);

// True when the bump-defect failures of basic-data record `basicDataId`, over the record's
// sample total, exceed `limit` percent. Without configured bump-defect codes the answer is false
// and no rate is asked for.
bool chkLotBumpDefect(Run& run, double limit, const std::string& basicDataId);

// True when the bump-defect rate of wafer `waferSeq` of basic-data record `basicDataId`
// exceeds `limit` percent. A wafer without any bump failure gives no row: false. Without
// configured bump-defect codes the answer is false and no rate is asked for.
bool chkWaferBumpDefect(Run& run, double limit, const std::string& basicDataId,
                        const std::string& waferSeq);

// True when the failures with reason `reasonCode` of basic-data record `basicDataId`, over the
// record's sample total, exceed `limit` percent.
bool chkLotSingleDefect(Run& run, double limit, const std::string& basicDataId,
                        const std::string& reasonCode);

// True when the rate of reason `reasonCode` on wafer `waferSeq` of basic-data record
// `basicDataId` exceeds `limit` percent.
bool chkWaferSingleDefect(Run& run, double limit, const std::string& basicDataId,
                          const std::string& reasonCode, const std::string& waferSeq);

}  // namespace velmora
