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

}  // namespace velmora
