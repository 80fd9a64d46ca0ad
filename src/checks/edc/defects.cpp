#include "checks/edc/defects.hpp"

#include <vector>

#include "checks/edc/statements.hpp"
#include "common/procedure.hpp"

namespace velmora {
namespace {

// The lot-level judgement shared by the bump and single checks: the defect count of
// `defectQuery` over the record's sample total, as a percentage, compared with `limit`. The
// sample total is queried only when there is a defect, and no rate is formed over a zero total.
bool lotRateExceeds(Run& run, double limit, const std::string& basicDataId,
                    const Statement& defectQuery) {
  double defect = 0;
  {
    const std::shared_ptr<Recordset> rows = run.mes().ExecuteQuery(defectQuery);
    defect = rows->Fields("Defect").toDouble();
  }
  if (!(defect > 0)) return false;
  double lotDie = 0;
  {
    const std::shared_ptr<Recordset> rows = run.mes().ExecuteQuery(lotDieStatement(basicDataId));
    lotDie = rows->Fields("LotDie").toDouble();
  }
  if (!(lotDie > 0)) return false;
  const double rate = defect / lotDie * 100;
  return rate > limit;
}

// The first row's WaferDefect of `sql`, compared with `limit`; no row is no finding.
bool waferRateExceeds(Run& run, double limit, const Statement& sql) {
  const std::shared_ptr<Recordset> rows = run.mes().ExecuteQuery(sql);
  if (rows->Eof()) return false;
  return rows->Fields("WaferDefect").toDouble() > limit;
}

// The configured bump-defect codes as an IN list of values (getBumpDefect).
Statement bumpDefectCodes(Run& run) {
  return runProcedure(run.context, "getBumpDefect", Statement(), [&](Statement& list) {
    const std::shared_ptr<Recordset> rows = run.mes().ExecuteQuery(bumpDefectCodesStatement());
    std::vector<std::string> codes;
    for (; !rows->Eof(); rows->MoveNext()) {
      // The list so far stays the answer when a later row fails.
      codes.push_back(rows->Fields("FIELD_VALUE").toText());
      list = bumpDefectList(codes);
    }
  });
}

}  // namespace

std::string getBumpDefect(Run& run) {
  return bumpDefectCodes(run).text();
}

bool chkLotBumpDefect(Run& run, double limit, const std::string& basicDataId) {
  return runProcedure(run.context, "chkLotBumpDefect", false, [&](bool& answer) {
    const Statement bumpCodes = bumpDefectCodes(run);
    // No configured code counts no failure; "IN ()" is a syntax error outside SQLite.
    if (bumpCodes.text().empty()) return;
    answer = lotRateExceeds(run, limit, basicDataId,
                            lotDefectStatement(basicDataId, bumpReasonCondition(bumpCodes)));
  });
}

bool chkLotSingleDefect(Run& run, double limit, const std::string& basicDataId,
                        const std::string& reasonCode) {
  return runProcedure(run.context, "chkLotSingleDefect", false, [&](bool& answer) {
    answer = lotRateExceeds(run, limit, basicDataId,
                            lotDefectStatement(basicDataId, singleReasonCondition(reasonCode)));
  });
}

bool chkWaferBumpDefect(Run& run, double limit, const std::string& basicDataId,
                        const std::string& waferSeq) {
  return runProcedure(run.context, "chkWaferBumpDefect", false, [&](bool& answer) {
    const Statement bumpCodes = bumpDefectCodes(run);
    if (bumpCodes.text().empty()) return;
    // One row per distinct pair of wafer and site sample sizes; the first row decides. A wafer
    // without bump failures has no row.
    answer = waferRateExceeds(run, limit, waferBumpStatement(basicDataId, bumpCodes, waferSeq));
  });
}

bool chkWaferSingleDefect(Run& run, double limit, const std::string& basicDataId,
                          const std::string& reasonCode, const std::string& waferSeq) {
  return runProcedure(run.context, "chkWaferSingleDefect", false, [&](bool& answer) {
    // One aggregate row over all joined rows of the wafer (0 when nothing matches).
    answer = waferRateExceeds(run, limit, waferSingleStatement(basicDataId, reasonCode, waferSeq));
  });
}

}  // namespace velmora
