// A check object wired to scripted outside objects: its own context with a scripted MES
// database, a recording trace and a scripted configuration-file reader.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "support/scripted_mes.hpp"
#include "velmora/abnormals.hpp"

namespace velmora::testing {

// Column names of the EDC item statements' rows.
inline const std::vector<std::string> kItemColumns = {
    "PRODUCTEDCSYSID", "SYSID", "DESCRIPTION", "ITEMTYPE", "CP", "CPK", "LSL", "USL"};

inline std::vector<Variant> itemRow(const std::string& sysid, const std::string& name,
                                    const Variant& type) {
  return {Variant("PE1"),  Variant(sysid),  Variant(name),   type,
          Variant::null(), Variant::null(), Variant::null(), Variant::null()};
}

struct CheckFixture {
  CheckFixture() {
    context->iniFactory = [this] {
      inisCreated++;
      return ini;
    };
    check.MESDB(mes);
    check.LogTrace(trace);
    check.LotID("LOT1");
    check.StepID("STEP1");
  }

  // The station of every step.
  void station(const std::string& name) {
    mes->on("SELECT B.STATION FROM PARM_STEP_INFO", Answer{{"STATION"}, {{Variant(name)}}});
  }
  // Items answered to the first (run-card) item statement.
  void items(std::vector<std::vector<Variant>> rows) {
    mes->on("B.FORRUNCARD='1' AND B.SPECNO=", Answer{kItemColumns, std::move(rows)});
  }
  void timeVersion(const std::string& sysid, const std::string& ta) {
    mes->on("FROM EDC_PRD_TIMEVERSION",
            Answer{{"SYSID", "TA", "DATETIME"}, {{Variant(sysid), Variant(ta), Variant("2026")}}});
  }

  std::shared_ptr<Context> context = std::make_shared<Context>();
  std::shared_ptr<ScriptedMes> mes = std::make_shared<ScriptedMes>();
  std::shared_ptr<RecordingTrace> trace = std::make_shared<RecordingTrace>();
  std::shared_ptr<ScriptedIni> ini = std::make_shared<ScriptedIni>();
  int inisCreated = 0;
  Abnormals check{context};
};

}  // namespace velmora::testing
