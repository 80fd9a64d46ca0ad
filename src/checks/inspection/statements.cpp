#include "checks/inspection/statements.hpp"

namespace velmora {

Statement inspectionCountStatement(const std::string& lotId, const std::string& station) {
  Statement sql("SELECT COUNT(*) FROM AUGUSTLOTDATA WHERE RUNCARD=");
  sql.text(lotId).sql(" AND STATION=").text(station).sql(" ");
  return sql;
}

Statement inspectionDetailStatement(const std::string& lotId, const std::string& station) {
  Statement sql(
      "SELECT B.WaferId, B.SWaferID, A.TotalGoodDieQty / (A.InspectionDie * "
      "A.SelectedSamples)*100 as LotYield , B.GoodDieQty / A.InspectionDie*100 as "
      "WaferYield,B.Machine,B.Operator,A.InsertUser  FROM AUGUSTLOTDATA A,AUGUSTWAFERDATA B  "
      "WHERE A.Runcard=");
  sql.text(lotId).sql(" AND A.RecordID=B.RecordID  AND STATION=").text(station).sql(" ");
  return sql;
}

Statement defectSumStatement(const std::string& lotId, const std::string& station,
                             const std::optional<std::string>& defectCode,
                             const std::optional<std::string>& waferId) {
  // A lot's die base is every inspected die of its samples; a wafer's, the dies of one wafer.
  Statement sql(waferId ? "SELECT SUM(B.DefectQty) as DefectQty,A.InspectionDie AS TotalDie "
                        : "SELECT SUM(B.DefectQty) as DefectQty,(A.InspectionDie * "
                          "A.SelectedSamples) AS TotalDie ");
  sql.sql(" FROM AugustLotData A,AugustDefectSum B  WHERE A.Runcard=").text(lotId);
  sql.sql(" AND A.RecordID=B.RecordID  AND A.Station=").text(station).sql(" ");
  if (defectCode) {
    sql.sql(" AND B.DefectCode=").number(*defectCode).sql(" ");
  } else {
    sql.sql(" AND B.DefectCode BETWEEN 100 AND 199 ");
  }
  if (waferId) {
    sql.sql(" AND B.WaferId=").number(*waferId).sql(" ");
    sql.sql(" GROUP BY A.InspectionDie ");
  } else {
    sql.sql(" GROUP BY A.InspectionDie, A.SelectedSamples ");
  }
  return sql;
}

Statement waferSequenceStatement(const std::string& lotId, const std::string& sWaferId) {
  Statement sql("SELECT SEQ FROM MES_LOT_WAFERID  WHERE LOTID=");
  sql.text(lotId).sql(" AND SUBSTR(WAFERID,1,2)=").text(sWaferId);
  return sql;
}

}  // namespace velmora
