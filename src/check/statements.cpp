#include "check/statements.hpp"

namespace velmora {
namespace {

const char* const kItemSelect = "SELECT B.SYSID PRODUCTEDCSYSID,D.* ";

}  // namespace

Statement runCardItemsStatement(const std::string& stepId, const std::string& specNo,
                                bool spacedSpecNo) {
  // The lot's own id and its run card (the lot id before a split's ".") are asked with the same
  // conditions; the two statements have always differed in one blank.
  Statement sql(std::string(kItemSelect) +
                " FROM PARM_STEP_INFO A,EDC_PRD_PRODUCTEDC B,EDC_PRD_EDCITEM D  WHERE A.STEPID=");
  sql.text(stepId).sql(spacedSpecNo ? " AND A.STEPNO=B.STEPNO AND B.FORRUNCARD='1'  AND B.SPECNO="
                                    : " AND A.STEPNO=B.STEPNO AND B.FORRUNCARD='1' AND B.SPECNO=");
  sql.text(specNo).sql("  AND B.SYSID=D.PRODUCTEDCSYSID ");
  return sql;
}

Statement lotSpecItemsStatement(const std::string& stepId, const std::string& lotId) {
  Statement sql(std::string(kItemSelect) +
                " FROM PARM_STEP_INFO A,EDC_PRD_PRODUCTEDC B,MES_LOT_INFO C,EDC_PRD_EDCITEM D  "
                "WHERE C.LOTID=");
  sql.text(lotId).sql(
      " AND C.SPECNO=B.SPECNO AND B.FORRUNCARD='0' AND B.STEPNO=A.STEPNO  AND A.STEPID=");
  sql.text(stepId).sql(" AND B.SYSID=D.PRODUCTEDCSYSID ");
  return sql;
}

Statement timeVersionStatement(const std::string& lotId, const std::string& stepId,
                               const std::string& productEdcSysid) {
  Statement sql("SELECT * FROM EDC_PRD_TIMEVERSION  WHERE LOTID=");
  sql.text(lotId).sql(" AND STEPID=").text(stepId).sql(" AND PRODUCTEDCSYSID=");
  sql.text(productEdcSysid).sql("  AND ( LASTTXN='1' OR LASTTXN IS NULL ) ORDER BY DATETIME DESC ");
  return sql;
}

Statement reasonCodeStatement(const std::string& code) {
  Statement sql("SELECT REASONCODE,DESCRIPTION FROM EDC_PRD_REASONCODE WHERE REASONCODE=");
  sql.text(code);
  return sql;
}

std::string probeStatement(const std::string& table, const std::string& columns) {
  return "SELECT " + columns + " FROM " + table + " WHERE 1=0";
}

std::string tableCountStatement(const std::string& table) {
  return "SELECT COUNT(*) FROM sqlite_master WHERE type='table' AND name=" + sqlQuoted(table) +
         " COLLATE NOCASE";
}

std::string leadingIndexCountStatement(const std::string& table, const std::string& column) {
  return "SELECT COUNT(*) FROM pragma_index_list(" + sqlQuoted(table) +
         ") l, pragma_index_info(l.name) i WHERE i.seqno=0 AND i.name=" + sqlQuoted(column) +
         " COLLATE NOCASE";
}

std::string createIndexStatement(const std::string& table, const std::string& column) {
  return "CREATE INDEX " + table + "_" + column + " ON " + table + " (" + column + ");";
}

}  // namespace velmora
