#include "common/statements.hpp"

#include "common/text.hpp"

namespace velmora {

Statement stationStatement(const std::string& stepId) {
  Statement sql("SELECT B.STATION FROM PARM_STEP_INFO A,PARM_STEP_STATION B  WHERE A.STEPID=");
  sql.text(stepId).sql(" AND A.SYSID=B.STEPSYSID AND B.STATIONTYPE='OP' ");
  return sql;
}

Statement basicDataWhere(const std::string& qualifier, const std::string& timeVersionSysid,
                         const std::string& itemSysid) {
  Statement sql(" WHERE " + qualifier + "TIMEVERSIONSYSID=");
  sql.text(timeVersionSysid).sql("  AND " + qualifier + "EDCITEMSYSID=").text(itemSysid);
  return sql;
}

Selection waferIdSelection(const std::string& lotId, const std::string& waferSeq) {
  Selection select{"MES_LOT_WAFERID", "", {}, ""};
  appendList(select.columns, "LOTID");
  appendList(select.columns, "SEQ");
  appendList(select.columns, "WAFERID");
  appendCondition(select.condition, "LOTID", lotId);
  appendCondition(select.condition, "SEQ", waferSeq);
  return select;
}

namespace {

// The statement for the limit column `percent` (LOTPERCENT or WAFERPERCENT).
Statement lossRateStatement(const std::string& itemSysid, const std::string& percent) {
  Statement sql("SELECT A.REASONCODE,A." + percent +
                ",B.DESCRIPTION  FROM EDC_PRD_LOSSRATE A, EDC_PRD_REASONCODE B  WHERE "
                "A.EDCITEMSYSID=");
  sql.text(itemSysid).sql("  AND A." + percent + " IS NOT NULL AND A.REASONCODE=B.REASONCODE ");
  return sql;
}

}  // namespace

Statement lotLossRateStatement(const std::string& itemSysid) {
  return lossRateStatement(itemSysid, "LOTPERCENT");
}

Statement waferLossRateStatement(const std::string& itemSysid) {
  return lossRateStatement(itemSysid, "WAFERPERCENT");
}

}  // namespace velmora
