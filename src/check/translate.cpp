#include "check/summary.hpp"
#include "common/database.hpp"
#include "common/procedure.hpp"
#include "common/text.hpp"

namespace velmora {
namespace {

bool isCapability(const std::string& code) {
  return code == "CP" || code == "CPK" || code == "CPCPK";
}

bool contains(const std::string& text, const char* word) {
  return text.find(word) != std::string::npos;
}

// The reason codes per station class:
//
//   class                        CP/CPK/CPCPK   WLY          LLY          other
//   IQC                          ""             IQCVMR998    IQCVMR999    the code
//   FQC                          FQCIDT021      FQCIDT022    FQCIDT023    the code
//   IPQC, station with PLATE     IPQIDPM03      ""           ""           the code
//   IPQC, with PHOTO, no PLATE   IPQIDDM25      ""           ""           the code
//   IPQC, neither                ""             ""           ""           the code
std::string translate(const std::string& code, const std::string& station) {
  const std::string cls = stationClass(station);
  const bool capability = isCapability(code);
  const bool waferYield = code == "WLY";
  const bool lotYield = code == "LLY";
  if (!capability && !waferYield && !lotYield) return code;

  if (cls == "IQC") {
    if (waferYield) return "IQCVMR998";
    if (lotYield) return "IQCVMR999";
    return "";
  }
  if (cls == "FQC") {
    if (waferYield) return "FQCIDT022";
    if (lotYield) return "FQCIDT023";
    return "FQCIDT021";
  }
  if (!capability) return "";
  if (contains(station, "PLATE")) return "IPQIDPM03";
  if (contains(station, "PHOTO")) return "IPQIDDM25";
  return "";
}

}  // namespace

std::string tnsReason(const Run& run, const std::string& code, const std::string& stepId) {
  return runProcedure(run.context, "tnsReason", std::string(), [&](std::string& result) {
    if (code.empty() || stepId.empty()) return;
    // The station is asked for every translation: it is the step's current configuration (within
    // a run the statement cache answers the repeats).
    result = translate(code, getStation(run, stepId));
  });
}

}  // namespace velmora
