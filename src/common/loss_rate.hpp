// The loss-rate limits of an EDC item, which the fail-count and the inspection checks both
// judge: per reason code, the highest share of failures of that reason a lot or a wafer may
// have, in percent.
#pragma once

#include <string>

#include "platform/sql/statement.hpp"

namespace velmora {

// The item's lot limits: REASONCODE, LOTPERCENT and the reason's DESCRIPTION, for the rows of
// item `itemSysid` whose lot limit is set.
Statement lotLossRateStatement(const std::string& itemSysid);

// As lotLossRateStatement, with WAFERPERCENT for the rows whose wafer limit is set.
Statement waferLossRateStatement(const std::string& itemSysid);

}  // namespace velmora
