#include "common/loss_rate.hpp"

#include "common/text.hpp"

namespace velmora {
namespace {

// The statement for the limit column `percent` (LOTPERCENT or WAFERPERCENT).
std::string lossRateStatement(const std::string& itemSysid, const std::string& percent) {
  return "SELECT A.REASONCODE,A." + percent + ",B.DESCRIPTION " +
         " FROM EDC_PRD_LOSSRATE A, EDC_PRD_REASONCODE B " + " WHERE A.EDCITEMSYSID='" +
         sqlValue(itemSysid) + "' " + " AND A." + percent +
         " IS NOT NULL AND A.REASONCODE=B.REASONCODE ";
}

}  // namespace

std::string lotLossRateStatement(const std::string& itemSysid) {
  return lossRateStatement(itemSysid, "LOTPERCENT");
}

std::string waferLossRateStatement(const std::string& itemSysid) {
  return lossRateStatement(itemSysid, "WAFERPERCENT");
}

}  // namespace velmora
