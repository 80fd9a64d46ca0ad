// What the codes of a report mean and what kind of judgement produced them, from the code and
// where it stands alone: no database. velmora/findings.hpp lists the judgements.
#pragma once

#include <string>

namespace velmora {

enum class Judged {
  kLotBump,          // BYL: lot bump-defect rate above CP
  kLotReasonRate,    // SDL: lot rate of one reason above LOTPERCENT
  kLotYield,         // LLY and its station codes: lot yield below USL
  kCapabilityMark,   // OFS, OFCS in a lot entry: capability marked on fail-count data
  kCapability,       // CP, CPK, CPCPK and their station codes: capability below CP/CPK
  kWaferBump,        // BYW: wafer bump-defect rate above CPK
  kWaferReasonRate,  // SDW: wafer rate of one reason above WAFERPERCENT
  kFailCountFlag,    // OFC, OFCS on fail-count data: violation flag 2 or 3
  kWaferYield,       // any other code of a collect type "2" record: wafer yield below LSL
  kChartFlag,        // OFC, OFS, OFCS of a collect type "1" record
  kComment,          // OFC as the last entry of its item in a collect type "1" record
  kSpcRule,          // any other code of a collect type "1" record
};

// The judgement behind `code` in a LotDevReasons entry.
Judged lotJudgement(const std::string& code);

// The judgement behind `code` in a record of `collectType` ("1" SPC and comments, anything else
// read as "2"); `lastOfItem` tells whether no later entry of the record names the same item.
Judged recordJudgement(const std::string& code, const std::string& collectType, bool lastOfItem);

// The fixed English text of one of the component's own codes (BYW, ..., the station codes of
// yields and capability); "" for any other code.
std::string ownCodeDescription(const std::string& code);

// True when the code's description is the MES's to give: not one of the component's own codes
// untranslated (the station codes are the MES's reason codes and may be described there).
bool describedByMes(const std::string& code);

// What was compared, in short English, for a judgement; `reason` names the reason of a reason
// rate ("210 (Scratch)"; "" when not known), `code` the SPC rule or the capability code.
std::string comparisonText(Judged judged, const std::string& code, const std::string& reason);

}  // namespace velmora
