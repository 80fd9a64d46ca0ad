// The statements of the inspection checks, exactly as they are sent.
//
// The inspection database (SQL Server dialect) is asked for its lot records, their wafers and
// their defect sums; the MES database (Oracle dialect) for the lot's wafer sequence numbers
// (and, common/loss_rate.hpp, the item's loss-rate limits). Every value spliced between single
// quotes has its quotes doubled here. The defect code and the wafer id are spliced without quotes,
// as numbers: callers pass only texts that isPlainNumber accepts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// True when `text` is a plain decimal number: an optional "+" or "-", one or more digits, and
// optionally "." followed by one or more digits. Nothing else (no blanks, no exponent).
bool isPlainNumber(std::string_view text);

// The number of inspection records of the lot at the station class.
std::string inspectionCountStatement(const std::string& lotId, const std::string& station);

// One row per inspected wafer of the lot's records at the station class: WaferId, SWaferID,
// LotYield, WaferYield, Machine, Operator, InsertUser.
std::string inspectionDetailStatement(const std::string& lotId, const std::string& station);

// The sum of defects (DefectQty) and the inspected dies (TotalDie) of the lot's records at the
// station, grouped by die base. `defectCode` null: the bump-defect codes 100 to 199; otherwise
// that one code. `waferId` null: every wafer, dies per lot (InspectionDie * SelectedSamples);
// otherwise that one wafer, dies per wafer (InspectionDie).
std::string defectSumStatement(const std::string& lotId, const std::string& station,
                               const std::optional<std::string>& defectCode,
                               const std::optional<std::string>& waferId);

// The SEQ of the lot's wafers whose MES wafer id starts with the inspection slot `sWaferId`.
std::string waferSequenceStatement(const std::string& lotId, const std::string& sWaferId);

}  // namespace velmora
