// The MES statements of the EDC (fail-count) checks, exactly as they are sent.
//
// Lot ids, sysids, reason codes and wafer sequences are text values; the bump-defect codes an
// IN list of text values, one per configured code.
#pragma once

#include <string>
#include <vector>

#include "platform/sql/statement.hpp"

namespace velmora {

// The configured bump-defect reason codes (MES_BASIC_LISTDATA).
Statement bumpDefectCodesStatement();

// The codes as an IN list: 'B1','B2' (nothing for no code).
Statement bumpDefectList(const std::vector<std::string>& codes);

// The defect count (column Defect) of the basic-data record's fail reasons, for the reasons of
// `reasonCondition` (" AND c.ReasonCode ..." as the catalog builds it below).
Statement lotDefectStatement(const std::string& basicDataId, const Statement& reasonCondition);

// The record's sample total (column LotDie).
Statement lotDieStatement(const std::string& basicDataId);

// " AND c.ReasonCode in (<codes>) " and " AND c.ReasonCode='<code>' ".
Statement bumpReasonCondition(const Statement& codes);
Statement singleReasonCondition(const std::string& reasonCode);

// The bump-defect rate (column WaferDefect) of the wafer `waferSeq`, one row per distinct pair of
// wafer and site sample sizes.
Statement waferBumpStatement(const std::string& basicDataId, const Statement& codes,
                             const std::string& waferSeq);

// The single-reason rate (column WaferDefect) of the wafer `waferSeq` over all its rows.
Statement waferSingleStatement(const std::string& basicDataId, const std::string& reasonCode,
                               const std::string& waferSeq);

// The item's flagged basic data of the time version with fail-count records above 0 failures.
Statement failCountStatement(const std::string& timeVersionSysid, const std::string& itemSysid);

// The item's basic data of the time version flagged '1' or '0', each with its fail-count
// records (all of them), or once with Null fail-count columns when it has none.
Statement flaggedStatement(const std::string& timeVersionSysid, const std::string& itemSysid);

// The capability marks of the item's flagged basic data of the time version.
Statement capabilityStatement(const std::string& timeVersionSysid, const std::string& itemSysid);

// SelectRecords calls: the SAMPLESIZE and FAILCOUNT sums of a basic-data record's fail counts,
// and the REASONCODE of each fail reason of a fail-count record.
Selection failCountSumSelection(const std::string& basicDataId);
Selection failReasonSelection(const std::string& failCountId);

}  // namespace velmora
