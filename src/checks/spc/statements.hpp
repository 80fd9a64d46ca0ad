// The MES statements of the SPC checks, exactly as they are sent.
#pragma once

#include <string>

#include "platform/sql/statement.hpp"

namespace velmora {

// The flagged basic-data records of the item and time version that count violations, each with
// its statistics record.
Statement chartStatement(const std::string& timeVersionSysid, const std::string& itemSysid);

// The commented, flagged basic-data records of the item and time version.
Statement commentStatement(const std::string& timeVersionSysid, const std::string& itemSysid);

// The WAFERSEQ of the raw data of a statistics record (SelectRecords).
Selection rawDataSelection(const std::string& statDataSysid);

}  // namespace velmora
