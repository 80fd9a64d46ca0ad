#include "cli/statements.hpp"

#include "platform/sql/statement.hpp"

namespace velmora::cli {

std::string selectLotsStatement(const std::string& step, const std::string& since,
                                const std::string& until) {
  return "SELECT LOTID,MIN(DATETIME) FIRSTCOLLECTED FROM EDC_PRD_TIMEVERSION WHERE STEPID=" +
         sqlQuoted(step) +
         " AND (LASTTXN='1' OR LASTTXN IS NULL) AND DATETIME>=" + sqlQuoted(since) +
         " AND DATETIME<" + sqlQuoted(until) + " GROUP BY LOTID ORDER BY MIN(DATETIME),LOTID";
}

std::string lotWafersStatement(const std::string& lot) {
  return "SELECT SEQ,WAFERID FROM " + std::string(kLotWafersTable) +
         " WHERE LOTID=" + sqlQuoted(lot) + " ORDER BY SEQ";
}

}  // namespace velmora::cli
