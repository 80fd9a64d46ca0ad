#include "checks/inspection/statements.hpp"

#include "common/text.hpp"

namespace velmora {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

bool isPlainNumber(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const std::size_t integerStart = i;
  while (i < text.size() && isDigit(text[i])) ++i;
  if (i == integerStart) return false;
  if (i == text.size()) return true;
  if (text[i] != '.') return false;
  const std::size_t fractionStart = ++i;
  while (i < text.size() && isDigit(text[i])) ++i;
  return i > fractionStart && i == text.size();
}

std::string inspectionCountStatement(const std::string& lotId, const std::string& station) {
  return std::string("SELECT COUNT(*) FROM AUGUSTLOTDATA ") + "WHERE RUNCARD='" + sqlValue(lotId) +
         "' AND STATION='" + sqlValue(station) + "' ";
}

std::string inspectionDetailStatement(const std::string& lotId, const std::string& station) {
  return std::string(
             "SELECT B.WaferId, B.SWaferID, A.TotalGoodDieQty / (A.InspectionDie * "
             "A.SelectedSamples)*100 as LotYield ,") +
         " B.GoodDieQty / A.InspectionDie*100 as WaferYield,B.Machine,B.Operator,A.InsertUser " +
         " FROM AUGUSTLOTDATA A,AUGUSTWAFERDATA B " + " WHERE A.Runcard='" + sqlValue(lotId) +
         "' AND A.RecordID=B.RecordID " + " AND STATION='" + sqlValue(station) + "' ";
}

std::string defectSumStatement(const std::string& lotId, const std::string& station,
                               const std::optional<std::string>& defectCode,
                               const std::optional<std::string>& waferId) {
  // A lot's die base is every inspected die of its samples; a wafer's, the dies of one wafer.
  std::string sql = waferId ? "SELECT SUM(B.DefectQty) as DefectQty,A.InspectionDie AS TotalDie "
                            : "SELECT SUM(B.DefectQty) as DefectQty,(A.InspectionDie * "
                              "A.SelectedSamples) AS TotalDie ";
  sql += std::string(" FROM AugustLotData A,AugustDefectSum B ") + " WHERE A.Runcard='" +
         sqlValue(lotId) + "' AND A.RecordID=B.RecordID " + " AND A.Station='" + sqlValue(station) +
         "' ";
  if (defectCode) {
    sql += " AND B.DefectCode=" + *defectCode + " ";
  } else {
    sql += " AND B.DefectCode BETWEEN 100 AND 199 ";
  }
  if (waferId) {
    sql += " AND B.WaferId=" + *waferId + " ";
    sql += " GROUP BY A.InspectionDie ";
  } else {
    sql += " GROUP BY A.InspectionDie, A.SelectedSamples ";
  }
  return sql;
}

std::string waferSequenceStatement(const std::string& lotId, const std::string& sWaferId) {
  return std::string("SELECT SEQ FROM MES_LOT_WAFERID ") + " WHERE LOTID='" + sqlValue(lotId) +
         "' AND SUBSTR(WAFERID,1,2)='" + sqlValue(sWaferId) + "'";
}

}  // namespace velmora
