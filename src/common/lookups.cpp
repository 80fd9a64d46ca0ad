#include "common/lookups.hpp"

#include "common/procedure.hpp"
#include "common/text.hpp"

namespace velmora {

std::string getWaferId(Run& run, const std::string& lotId, const std::string& waferSeq) {
  return runProcedure(run.context, "getWaferId", std::string(), [&](std::string& result) {
    if (run.state.timeVersionSysid.empty()) {
      result = kNeedTimeVersion;
      return;
    }
    std::string columns;
    appendList(columns, "LOTID");
    appendList(columns, "SEQ");
    appendList(columns, "WAFERID");
    std::string condition;
    appendCondition(condition, "LOTID", lotId);
    appendCondition(condition, "SEQ", waferSeq);
    const auto rows = run.mes().SelectRecords("MES_LOT_WAFERID", columns, condition, "");
    if (!rows->Eof()) result = rows->Fields("WAFERID").toText();
  });
}

}  // namespace velmora
