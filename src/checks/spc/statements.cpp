#include "checks/spc/statements.hpp"

#include "common/statements.hpp"
#include "common/text.hpp"

namespace velmora {

Statement chartStatement(const std::string& timeVersionSysid, const std::string& itemSysid) {
  Statement sql(
      "SELECT A.EQPID,B.SYSID STATDATASYSID,B.CHART1VIOLATIONRULES,B.CHART2VIOLATIONRULES, "
      "B.CHART1VIOLATIONFLAG,B.CHART2VIOLATIONFLAG  FROM EDC_PRD_BASICDATA A,EDC_PRD_STATDATA B ");
  sql.append(basicDataWhere("A.", timeVersionSysid, itemSysid));
  sql.sql("  AND A.FLAG='1' AND A.VIOLATIONCOUNT>0 AND A.SYSID=B.BASICDATASYSID ");
  return sql;
}

Statement commentStatement(const std::string& timeVersionSysid, const std::string& itemSysid) {
  Statement sql("SELECT EQPID,COMMENTS FROM EDC_PRD_BASICDATA ");
  sql.append(basicDataWhere("", timeVersionSysid, itemSysid));
  sql.sql(" AND FLAG='1' AND COMMENTS IS NOT NULL ");
  return sql;
}

Selection rawDataSelection(const std::string& statDataSysid) {
  Selection select{"EDC_PRD_RAWDATA", "", {}, ""};
  appendList(select.columns, "WAFERSEQ");
  appendCondition(select.condition, "STATDATASYSID", statDataSysid);
  return select;
}

}  // namespace velmora
