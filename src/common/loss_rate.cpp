#include "common/loss_rate.hpp"

namespace velmora {
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
