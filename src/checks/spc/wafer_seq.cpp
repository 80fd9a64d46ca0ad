#include "checks/spc/wafer_seq.hpp"

#include "common/procedure.hpp"
#include "common/text.hpp"

namespace velmora {

std::string getWaferSeq(Run& run, const std::string& statDataSysid) {
  return runProcedure(run.context, "getWaferSeq", std::string(), [&](std::string& result) {
    // Unlike the EDC lookups, this one does not need the run's time version: the statistics
    // record already belongs to it.
    if (statDataSysid.empty()) return;
    std::string columns;
    appendList(columns, "WAFERSEQ");
    std::string condition;
    appendCondition(condition, "STATDATASYSID", statDataSysid);
    const auto rows = run.mes().SelectRecords("EDC_PRD_RAWDATA", columns, condition, "");
    // The first raw-data row names the wafer; further rows are not read.
    if (!rows->Eof()) result = rows->Fields("WAFERSEQ").toText();
  });
}

}  // namespace velmora
