// The statements of the check driver, exactly as they are sent: the lot's EDC items at the step
// and its time version; and what a report's findings are read against besides: a reason code's
// description.
#pragma once

#include <string>

#include "platform/sql/statement.hpp"

namespace velmora {

// The EDC items of the step for the run card `specNo` (a product EDC row FORRUNCARD '1'): one
// row per item, PRODUCTEDCSYSID and every column of EDC_PRD_EDCITEM.
Statement runCardItemsStatement(const std::string& stepId, const std::string& specNo,
                                bool spacedSpecNo);

// The EDC items of the step for the lot's own spec (MES_LOT_INFO, FORRUNCARD '0').
Statement lotSpecItemsStatement(const std::string& stepId, const std::string& lotId);

// The lot's valid time versions at the step for the product EDC row, newest first.
Statement timeVersionStatement(const std::string& lotId, const std::string& stepId,
                               const std::string& productEdcSysid);

// REASONCODE and DESCRIPTION of the reason code `code`.
Statement reasonCodeStatement(const std::string& code);

// What `velmora doctor` sends to learn whether a home's databases hold what the checks read.
// Table and column names are the constants of tablesRead(), never a value from outside.

// Reads no row of `table`, but fails when it lacks one of `columns` ("*": the table alone).
std::string probeStatement(const std::string& table, const std::string& columns);

// SQLite's integrity check.
inline constexpr const char* kQuickCheckStatement = "PRAGMA quick_check";

// On SQLite: one row, the number of tables named `table` (without regard to case).
std::string tableCountStatement(const std::string& table);

// On SQLite: one row, the number of indexes of `table` that `column` leads.
std::string leadingIndexCountStatement(const std::string& table, const std::string& column);

// The index a doctor proposes when no index of `table` leads with `column`.
std::string createIndexStatement(const std::string& table, const std::string& column);

}  // namespace velmora
