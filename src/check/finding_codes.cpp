#include "check/finding_codes.hpp"

#include <array>
#include <initializer_list>
#include <utility>

namespace velmora {
namespace {

// The component's own codes and the station codes the summary translates some of them into.
constexpr std::array<std::pair<const char*, const char*>, 19> kOwnCodes = {{
    {"BYW", "wafer bump-defect rate above the item's limit"},
    {"BYL", "lot bump-defect rate above the item's limit"},
    {"SDW", "wafer defect rate of one reason above that reason's wafer limit"},
    {"SDL", "lot defect rate of one reason above that reason's lot limit"},
    {"LLY", "lot yield below the item's limit"},
    {"WLY", "inspection wafer yield below the item's limit"},
    {"OFC",
     "out of control: fail-count violation flag 2, SPC chart flag 1, or a wafer listed in "
     "the item's comment"},
    {"OFS", "out of specification: SPC chart flag 2, or capability mark 1 on fail-count data"},
    {"OFCS",
     "out of control and specification: fail-count violation flag 3, SPC chart flag 3, "
     "or capability mark 2 on fail-count data"},
    {"CP", "process capability below the item's CP limit"},
    {"CPK", "process capability below the item's CPK limit"},
    {"CPCPK", "process capability below the item's CP and CPK limits"},
    {"IQCVMR998", "incoming inspection: wafer yield below the item's limit"},
    {"IQCVMR999", "incoming inspection: lot yield below the item's limit"},
    {"FQCIDT021", "final inspection: process capability below the item's limits"},
    {"FQCIDT022", "final inspection: wafer yield below the item's limit"},
    {"FQCIDT023", "final inspection: lot yield below the item's limit"},
    {"IPQIDPM03", "plating: process capability below the item's limits"},
    {"IPQIDDM25", "photo: process capability below the item's limits"},
}};

// The first twelve entries: the codes the checks emit, before any translation.
constexpr std::size_t kUntranslated = 12;

bool isOneOf(const std::string& code, std::initializer_list<const char*> codes) {
  for (const char* c : codes) {
    if (code == c) return true;
  }
  return false;
}

bool isLotYield(const std::string& code) {
  return isOneOf(code, {"LLY", "IQCVMR999", "FQCIDT023"});
}

// "rate of reason 210 (Scratch)", or "reason rate" when the reason is not known.
std::string reasonRate(const std::string& reason) {
  return reason.empty() ? "reason rate" : "rate of reason " + reason;
}

}  // namespace

Judged lotJudgement(const std::string& code) {
  if (code == "BYL") return Judged::kLotBump;
  if (code == "SDL") return Judged::kLotReasonRate;
  if (isLotYield(code)) return Judged::kLotYield;
  if (code == "OFS" || code == "OFCS") return Judged::kCapabilityMark;
  // The capability codes and what is left: only the capability check writes other lot codes.
  return Judged::kCapability;
}

Judged recordJudgement(const std::string& code, const std::string& collectType, bool lastOfItem) {
  if (collectType == "1") {
    if (code == "OFC") return lastOfItem ? Judged::kComment : Judged::kChartFlag;
    if (code == "OFS" || code == "OFCS") return Judged::kChartFlag;
    return Judged::kSpcRule;
  }
  if (code == "BYW") return Judged::kWaferBump;
  if (code == "SDW") return Judged::kWaferReasonRate;
  if (code == "OFC" || code == "OFCS") return Judged::kFailCountFlag;
  return Judged::kWaferYield;
}

std::string ownCodeDescription(const std::string& code) {
  for (const auto& [own, text] : kOwnCodes) {
    if (code == own) return text;
  }
  return "";
}

bool describedByMes(const std::string& code) {
  for (std::size_t i = 0; i < kUntranslated; ++i) {
    if (code == kOwnCodes[i].first) return false;
  }
  return true;
}

std::string comparisonText(Judged judged, const std::string& code, const std::string& reason) {
  switch (judged) {
    case Judged::kLotBump:
      return "lot bump-defect rate above limit (CP)";
    case Judged::kLotReasonRate:
      return reasonRate(reason) + " above lot limit (LOTPERCENT)";
    case Judged::kLotYield:
      return "lot yield below lower limit (USL)";
    case Judged::kCapabilityMark:
      return code == "OFS" ? "capability marked violated (mark 1) on fail-count data"
                           : "capability marked violated (mark 2) on fail-count data";
    case Judged::kCapability:
      return "capability below limit (" +
             std::string(code == "CP" || code == "CPK" ? code : "CP/CPK") + ")";
    case Judged::kWaferBump:
      return "wafer bump-defect rate above limit (CPK)";
    case Judged::kWaferReasonRate:
      return reasonRate(reason) + " above wafer limit (WAFERPERCENT)";
    case Judged::kFailCountFlag:
      return code == "OFC" ? "fail-count data flagged out of control (violation flag 2)"
                           : "fail-count data flagged out of control and specification "
                             "(violation flag 3)";
    case Judged::kWaferYield:
      return "wafer yield below lower limit (LSL)";
    case Judged::kChartFlag:
      return code == "OFC"   ? "SPC chart flagged out of control (flag 1)"
             : code == "OFS" ? "SPC chart flagged out of specification (flag 2)"
                             : "SPC chart flagged out of control and specification (flag 3)";
    case Judged::kComment:
      return "wafer listed in the item's comment";
    case Judged::kSpcRule:
      return "SPC rule " + code;
  }
  return "";
}

}  // namespace velmora
