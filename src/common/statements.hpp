// The MES statements that more than one kind of check sends, exactly as they are sent: the
// operation station of a step, the basic-data condition of an item's collection, and the
// SelectRecords call of a wafer's id. (The loss-rate limits: common/loss_rate.hpp.)
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

}  // namespace velmora
