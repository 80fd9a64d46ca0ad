#include "checks/edc/cpcpk.hpp"

#include "checks/edc/statements.hpp"

namespace velmora {

void runCpCpkCheck(Run& run, const CpCpkVariant& variant) {
  const std::shared_ptr<Recordset> rows =
      run.mes().ExecuteQuery(capabilityStatement(run.state.timeVersionSysid, run.item.sysid));
  if (rows->Eof()) return;

  // Only the first matching record counts, however many the database returns.
  const std::string mark = rows->Fields("CPCPKVIOLATION").toText();
  const char* code = nullptr;
  if (mark == "1") {
    code = variant.mark1;
  } else if (mark == "2") {
    code = variant.mark2;
  } else if (mark == "3") {
    code = variant.mark3;
  }
  if (code == nullptr) return;

  if (variant.setsEdcFail) run.state.flags.IsEDCFail = Flag::kYes;
  run.addLotDeviation(run.item.name + "/" + code);
}

}  // namespace velmora
