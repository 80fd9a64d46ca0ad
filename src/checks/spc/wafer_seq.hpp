// The wafer of an SPC statistics record.
#pragma once

#include <string>

#include "common/run.hpp"

namespace velmora {

// The WAFERSEQ of the first raw-data row of the statistics record `statDataSysid`, as text:
// "" when the id is "", when the record has no raw data, or when the value is Null. A traced
// procedure ("getWaferSeq"): data that answered unfit is traced and answers ""; when the
// database could not answer, the run ends.
std::string getWaferSeq(Run& run, const std::string& statDataSysid);

}  // namespace velmora
