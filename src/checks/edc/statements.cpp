#include "checks/edc/statements.hpp"

#include "common/statements.hpp"
#include "common/text.hpp"

namespace velmora {
namespace {

// The fail-count, site and reason levels of one basic-data record.
Statement threeLevelJoin(const std::string& basicDataId) {
  Statement sql(
      " FROM EDC_Prd_FailCount a, EDC_Prd_FailCount_Site b, EDC_Prd_FailReason c  WHERE "
      "a.BasicDataSysId=");
  sql.text(basicDataId).sql("  AND a.SysId=b.FailCountSysId AND b.SysId=c.FailCountSiteSysId ");
  return sql;
}

// The fail-count rows of the item's basic data (columns of both, and the yield of each row).
Statement failCountSelect(const char* columns, const std::string& timeVersionSysid,
                          const std::string& itemSysid) {
  Statement sql(std::string(columns) + " FROM EDC_PRD_BASICDATA A,EDC_PRD_FAILCOUNT B ");
  sql.append(basicDataWhere("A.", timeVersionSysid, itemSysid)).sql(" ");
  return sql;
}

}  // namespace

Statement bumpDefectCodesStatement() {
  return Statement(
      "SELECT FIELD_VALUE FROM MES_BASIC_LISTDATA  WHERE MODULE='EDC' AND FIELD_NAME='Bump "
      "Defect' ");
}

Statement bumpDefectList(const std::vector<std::string>& codes) {
  Statement list;
  for (const std::string& code : codes) {
    if (!list.text().empty()) list.sql(",");
    list.text(code);
  }
  return list;
}

Statement lotDefectStatement(const std::string& basicDataId, const Statement& reasonCondition) {
  Statement sql("SELECT Decode(Sum(c.Count),Null,0,Sum(c.Count)) Defect ");
  sql.append(threeLevelJoin(basicDataId)).append(reasonCondition);
  return sql;
}

Statement lotDieStatement(const std::string& basicDataId) {
  Statement sql(
      "SELECT Decode(Sum(Die1+Die2),Null,0,Sum(Die1+Die2)) LotDie  FROM (SELECT a.SampleSize "
      "Die1, b.SampleSize Die2  FROM EDC_Prd_FailCount a, EDC_Prd_FailCount_Site b  WHERE "
      "a.BasicDataSysId=");
  sql.text(basicDataId)
      .sql("  AND a.SysId=b.FailCountSysId  GROUP BY a.WaferSeq,a.SampleSize,b.SampleSize ) ");
  return sql;
}

Statement bumpReasonCondition(const Statement& codes) {
  Statement sql(" AND c.ReasonCode in (");
  sql.append(codes).sql(") ");
  return sql;
}

Statement singleReasonCondition(const std::string& reasonCode) {
  Statement sql(" AND c.ReasonCode=");
  sql.text(reasonCode).sql(" ");
  return sql;
}

Statement waferBumpStatement(const std::string& basicDataId, const Statement& codes,
                             const std::string& waferSeq) {
  Statement sql(
      "SELECT Decode(Sum(c.Count)/(a.SampleSize+b.SampleSize),Null,0,"
      "Sum(c.Count)/(a.SampleSize+b.SampleSize))*100 WaferDefect ");
  sql.append(threeLevelJoin(basicDataId)).append(bumpReasonCondition(codes));
  sql.sql(" AND a.WaferSeq=").text(waferSeq);
  sql.sql("  GROUP BY a.WaferSeq,a.SampleSize,b.SampleSize ");
  return sql;
}

Statement waferSingleStatement(const std::string& basicDataId, const std::string& reasonCode,
                               const std::string& waferSeq) {
  Statement sql(
      "SELECT Decode(Sum(c.Count)/(Sum(a.SampleSize)+Sum(b.SampleSize)),Null,0,"
      "Sum(c.Count)/(Sum(a.SampleSize)+Sum(b.SampleSize)))*100 WaferDefect ");
  sql.append(threeLevelJoin(basicDataId)).append(singleReasonCondition(reasonCode));
  sql.sql(" AND a.WaferSeq=").text(waferSeq);
  return sql;
}

Statement failCountStatement(const std::string& timeVersionSysid, const std::string& itemSysid) {
  Statement sql = failCountSelect(
      "SELECT A.EQPID,A.SYSID BASICDATASYSID,B.SYSID FAILCOUNTSYSID,B.VIOLATIONFLAG,"
      "ROUND((B.SAMPLESIZE - B.FAILCOUNT ) / B.SAMPLESIZE * 100,2) WAFERYIELD,B.WAFERSEQ ",
      timeVersionSysid, itemSysid);
  sql.sql(" AND A.FLAG='1' AND A.SYSID=B.BASICDATASYSID AND B.FAILCOUNT>0 ");
  return sql;
}

Statement flaggedStatement(const std::string& timeVersionSysid, const std::string& itemSysid) {
  Statement sql = failCountSelect(
      "SELECT A.EQPID,A.SYSID BASICDATASYSID,B.SYSID FAILCOUNTSYSID,B.VIOLATIONFLAG,"
      " ROUND((B.SAMPLESIZE - B.FAILCOUNT ) / B.SAMPLESIZE * 100,2) WAFERYIELD,B.WAFERSEQ,"
      "A.FLAG ",
      timeVersionSysid, itemSysid);
  sql.sql(" AND (A.FLAG='1' OR A.FLAG='0') AND A.SYSID=B.BASICDATASYSID(+) ");
  return sql;
}

Statement capabilityStatement(const std::string& timeVersionSysid, const std::string& itemSysid) {
  Statement sql("SELECT CPCPKVIOLATION FROM EDC_PRD_BASICDATA ");
  sql.append(basicDataWhere("", timeVersionSysid, itemSysid));
  sql.sql(" AND FLAG='1' AND CPCPKVIOLATION<>'0' ");
  return sql;
}

Selection failCountSumSelection(const std::string& basicDataId) {
  Selection select{"EDC_PRD_FAILCOUNT ", "", {}, ""};
  appendList(select.columns, "DECODE(SUM(SAMPLESIZE),NULL,0,SUM(SAMPLESIZE)) SAMPLESIZE");
  appendList(select.columns, "DECODE(SUM(FAILCOUNT),NULL,0,SUM(FAILCOUNT)) FAILCOUNT");
  appendCondition(select.condition, "BASICDATASYSID", basicDataId);
  return select;
}

Selection failReasonSelection(const std::string& failCountId) {
  Selection select{" EDC_PRD_FAILCOUNT_SITE C, EDC_PRD_FAILREASON D", "", {}, ""};
  appendList(select.columns, "D.REASONCODE");
  appendCondition(select.condition, "C.FAILCOUNTSYSID", failCountId);
  select.condition.sql(" AND D.FAILCOUNTSITESYSID = C.SYSID");
  return select;
}

}  // namespace velmora
