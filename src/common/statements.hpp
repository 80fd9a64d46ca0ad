// The MES statements that more than one kind of check sends, exactly as they are sent: the
// operation station of a step, the basic-data condition of an item's collection, the
// SelectRecords call of a wafer's id, and an item's loss-rate limits.
#pragma once

#include <string>

#include "platform/sql/statement.hpp"

namespace velmora {

// The STATION of the step's operation station rows.
Statement stationStatement(const std::string& stepId);

// The basic data of item `itemSysid` in time version `timeVersionSysid`:
//   " WHERE <q>TIMEVERSIONSYSID='...'  AND <q>EDCITEMSYSID='...'"
// where <q> is `qualifier` ("" or "A."). Both values are text values.
Statement basicDataWhere(const std::string& qualifier, const std::string& timeVersionSysid,
                         const std::string& itemSysid);

// LOTID, SEQ and WAFERID of the wafer `waferSeq` of lot `lotId` (SelectRecords).
Selection waferIdSelection(const std::string& lotId, const std::string& waferSeq);

// The loss-rate limits of an EDC item, which the fail-count and the inspection checks both
// judge: per reason code, the highest share of failures of that reason a lot or a wafer may
// have, in percent.
//
// The item's lot limits: REASONCODE, LOTPERCENT and the reason's DESCRIPTION, for the rows of
// item `itemSysid` whose lot limit is set.
Statement lotLossRateStatement(const std::string& itemSysid);

// As lotLossRateStatement, with WAFERPERCENT for the rows whose wafer limit is set.
Statement waferLossRateStatement(const std::string& itemSysid);

}  // namespace velmora
