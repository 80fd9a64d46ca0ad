#include "checks/spc/wafer_seq.hpp"

#include "checks/spc/statements.hpp"
#include "common/procedure.hpp"

namespace velmora {

std::string getWaferSeq(Run& run, const std::string& statDataSysid) {
  return runProcedure(run.context, "getWaferSeq", std::string(), [&](std::string& result) {
    // Unlike the EDC lookups, this one does not need the run's time version: the statistics
    // record already belongs to it.
    if (statDataSysid.empty()) return;
    const auto rows = run.mes().SelectRecords(rawDataSelection(statDataSysid));
    // The first raw-data row names the wafer; further rows are not read.
    if (!rows->Eof()) result = rows->Fields("WAFERSEQ").toText();
  });
}

}  // namespace velmora
