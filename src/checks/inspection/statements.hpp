// The statements of the inspection checks, exactly as they are sent.
//
// The inspection database (SQL Server dialect) is asked for its lot records, their wafers and
// their defect sums; the MES database (Oracle dialect) for the lot's wafer sequence numbers
// (and, common/statements.hpp, the item's loss-rate limits). The lot, station and slot are text
// values; the defect code and the wafer id are numbers: callers pass only texts that
// isPlainNumber accepts.
#pragma once

#include <optional>
#include <string>

#include "platform/sql/statement.hpp"

namespace velmora {

// The number of inspection records of the lot at the station class.
Statement inspectionCountStatement(const std::string& lotId, const std::string& station);

// One row per inspected wafer of the lot's records at the station class: WaferId, SWaferID,
// LotYield, WaferYield, Machine, Operator, InsertUser.
Statement inspectionDetailStatement(const std::string& lotId, const std::string& station);

// The sum of defects (DefectQty) and the inspected dies (TotalDie) of the lot's records at the
// station, grouped by die base. `defectCode` null: the bump-defect codes 100 to 199; otherwise
// that one code. `waferId` null: every wafer, dies per lot (InspectionDie * SelectedSamples);
// otherwise that one wafer, dies per wafer (InspectionDie).
Statement defectSumStatement(const std::string& lotId, const std::string& station,
                             const std::optional<std::string>& defectCode,
                             const std::optional<std::string>& waferId);

// The SEQ of the lot's wafers whose MES wafer id starts with the inspection slot `sWaferId`.
Statement waferSequenceStatement(const std::string& lotId, const std::string& sWaferId);

}  // namespace velmora
