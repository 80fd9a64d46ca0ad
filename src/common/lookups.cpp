#include "common/lookups.hpp"

#include "common/procedure.hpp"
#include "common/statements.hpp"

namespace velmora {

std::string getWaferId(Run& run, const std::string& lotId, const std::string& waferSeq) {
  return runProcedure(run.context, "getWaferId", std::string(), [&](std::string& result) {
    if (run.state.timeVersionSysid.empty()) {
      result = kNeedTimeVersion;
      return;
    }
    const auto rows = run.mes().SelectRecords(waferIdSelection(lotId, waferSeq));
    if (!rows->Eof()) result = rows->Fields("WAFERID").toText();
  });
}

}  // namespace velmora
