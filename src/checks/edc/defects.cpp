#include "checks/edc/defects.hpp"

#include "common/procedure.hpp"
#include "common/text.hpp"

namespace velmora {
namespace {

const std::string kDefectCount = "SELECT Decode(Sum(c.Count),Null,0,Sum(c.Count)) Defect ";

// The fail-count, site and reason levels of one basic-data record.
std::string threeLevelJoin(const std::string& basicDataId) {
  return " FROM EDC_Prd_FailCount a, EDC_Prd_FailCount_Site b, EDC_Prd_FailReason c "
         " WHERE a.BasicDataSysId='" +
         sqlValue(basicDataId) + "' " +
         " AND a.SysId=b.FailCountSysId AND b.SysId=c.FailCountSiteSysId ";
}

// The record's sample total: the wafer and site sample sizes added over each distinct
// combination of wafer sequence and the two sample sizes.
std::string lotDieQuery(const std::string& basicDataId) {
  return "SELECT Decode(Sum(Die1+Die2),Null,0,Sum(Die1+Die2)) LotDie "
         " FROM (SELECT a.SampleSize Die1, b.SampleSize Die2 "
         " FROM EDC_Prd_FailCount a, EDC_Prd_FailCount_Site b "
         " WHERE a.BasicDataSysId='" +
         sqlValue(basicDataId) + "' " + " AND a.SysId=b.FailCountSysId " +
         " GROUP BY a.WaferSeq,a.SampleSize,b.SampleSize ) ";
}

// The lot-level judgement shared by the bump and single checks: the defect count of
// `defectQuery` over the record's sample total, as a percentage, compared with `limit`. The
// sample total is queried only when there is a defect, and no rate is formed over a zero total.
bool lotRateExceeds(Run& run, double limit, const std::string& basicDataId,
                    const std::string& defectQuery) {
  double defect = 0;
  {
    const std::shared_ptr<Recordset> rows = run.mes().ExecuteQuery(defectQuery);
    defect = rows->Fields("Defect").toDouble();
  }
  if (!(defect > 0)) return false;
  double lotDie = 0;
  {
    const std::shared_ptr<Recordset> rows = run.mes().ExecuteQuery(lotDieQuery(basicDataId));
    lotDie = rows->Fields("LotDie").toDouble();
  }
  if (!(lotDie > 0)) return false;
  const double rate = defect / lotDie * 100;
  return rate > limit;
}

// The first row's WaferDefect of `sql`, compared with `limit`; no row is no finding.
bool waferRateExceeds(Run& run, double limit, const std::string& sql) {
  const std::shared_ptr<Recordset> rows = run.mes().ExecuteQuery(sql);
  if (rows->Eof()) return false;
  return rows->Fields("WaferDefect").toDouble() > limit;
}

}  // namespace

std::string getBumpDefect(Run& run) {
  return runProcedure(run.context, "getBumpDefect", std::string(), [&](std::string& list) {
    const std::shared_ptr<Recordset> rows = run.mes().ExecuteQuery(
        "SELECT FIELD_VALUE FROM MES_BASIC_LISTDATA "
        " WHERE MODULE='EDC' AND FIELD_NAME='Bump Defect' ");
    for (; !rows->Eof(); rows->MoveNext()) {
      const std::string code = sqlValue(rows->Fields("FIELD_VALUE").toText());
      if (!list.empty()) list += ',';
      list += '\'';
      list += code;
      list += '\'';
    }
  });
}

bool chkLotBumpDefect(Run& run, double limit, const std::string& basicDataId) {
  return runProcedure(run.context, "chkLotBumpDefect", false, [&](bool& answer) {
    const std::string bumpCodes = getBumpDefect(run);
    // No configured code counts no failure; "IN ()" is a syntax error outside SQLite.
    if (bumpCodes.empty()) return;
    answer = lotRateExceeds(
        run, limit, basicDataId,
        kDefectCount + threeLevelJoin(basicDataId) + " AND c.ReasonCode in (" + bumpCodes + ") ");
  });
}

bool chkLotSingleDefect(Run& run, double limit, const std::string& basicDataId,
                        const std::string& reasonCode) {
  return runProcedure(run.context, "chkLotSingleDefect", false, [&](bool& answer) {
    answer = lotRateExceeds(run, limit, basicDataId,
                            kDefectCount + threeLevelJoin(basicDataId) + " AND c.ReasonCode='" +
                                sqlValue(reasonCode) + "' ");
  });
}

bool chkWaferBumpDefect(Run& run, double limit, const std::string& basicDataId,
                        const std::string& waferSeq) {
  return runProcedure(run.context, "chkWaferBumpDefect", false, [&](bool& answer) {
    const std::string bumpCodes = getBumpDefect(run);
    if (bumpCodes.empty()) return;
    // One row per distinct pair of wafer and site sample sizes; the first row decides. A wafer
    // without bump failures has no row.
    answer = waferRateExceeds(run, limit,
                              "SELECT Decode(Sum(c.Count)/(a.SampleSize+b.SampleSize),Null,0,"
                              "Sum(c.Count)/(a.SampleSize+b.SampleSize))*100 WaferDefect " +
                                  threeLevelJoin(basicDataId) + " AND c.ReasonCode in (" +
                                  bumpCodes + ") " + " AND a.WaferSeq='" + sqlValue(waferSeq) +
                                  "' " + " GROUP BY a.WaferSeq,a.SampleSize,b.SampleSize ");
  });
}

bool chkWaferSingleDefect(Run& run, double limit, const std::string& basicDataId,
                          const std::string& reasonCode, const std::string& waferSeq) {
  return runProcedure(run.context, "chkWaferSingleDefect", false, [&](bool& answer) {
    // One aggregate row over all joined rows of the wafer (0 when nothing matches).
    answer = waferRateExceeds(
        run, limit,
        "SELECT Decode(Sum(c.Count)/(Sum(a.SampleSize)+Sum(b.SampleSize)),Null,0,"
        "Sum(c.Count)/(Sum(a.SampleSize)+Sum(b.SampleSize)))*100 WaferDefect " +
            threeLevelJoin(basicDataId) + " AND c.ReasonCode='" + sqlValue(reasonCode) + "' " +
            " AND a.WaferSeq='" + sqlValue(waferSeq) + "'");
  });
}

}  // namespace velmora
