// MES lookups that several kinds of check share: single facts read through SelectRecords.
//
// Each lookup is a traced procedure: it answers "" after data that answered unfit (traced); when
// the database could not answer, the run ends (procedure.hpp). Without a time version on the
// check object each answers kNeedTimeVersion and reads nothing.
#pragma once

#include <string>

#include "common/run.hpp"

namespace velmora {

// The answer of every lookup when the check object has no time version. (The misspelling is the
// text that MES clients already know.)
inline constexpr const char* kNeedTimeVersion = "Need TimeVerion Sysid";

// The WAFERID of the lot's wafer with sequence `waferSeq` ("" when there is none).
std::string getWaferId(Run& run, const std::string& lotId, const std::string& waferSeq);

}  // namespace velmora
