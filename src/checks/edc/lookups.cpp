#include "checks/edc/lookups.hpp"

#include <cctype>
#include <charconv>
#include <cmath>

#include "checks/edc/statements.hpp"
#include "common/procedure.hpp"
#include "common/rounding.hpp"
#include "common/text.hpp"
#include "velmora/dataset.hpp"
#include "velmora/error.hpp"

namespace velmora {
namespace {

bool isDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

std::string getLotYield(Run& run, const std::string& basicDataId) {
  return runProcedure(run.context, "getLotYield", std::string(), [&](std::string& result) {
    if (run.state.timeVersionSysid.empty()) {
      result = kNeedTimeVersion;
      return;
    }
    double samples = 0;
    double failures = 0;
    {
      const auto rows = run.mes().SelectRecords(failCountSumSelection(basicDataId));
      if (rows->Eof()) return;
      samples = rows->Fields("SAMPLESIZE").toDouble();
      failures = rows->Fields("FAILCOUNT").toDouble();
    }
    if (samples == 0) {
      raise(err::kDivisionByZero, "the SAMPLESIZE sum of basic data '" + basicDataId + "' is 0");
    }
    const double yield = roundHalfEvenToHundredths((samples - failures) / samples * 100);
    // A number's text has a blank where a minus sign would stand.
    result = yield < 0 ? formatDouble(yield) : ' ' + formatDouble(yield);
  });
}

std::string getReasons(Run& run, const std::string& failCountId) {
  return runProcedure(run.context, "getReasons", std::string(), [&](std::string& result) {
    if (run.state.timeVersionSysid.empty()) {
      result = kNeedTimeVersion;
      return;
    }
    DataSet codes;
    {
      const auto rows = run.mes().SelectRecords(failReasonSelection(failCountId));
      for (; !rows->Eof(); rows->MoveNext()) codes.Add(rows->Fields("REASONCODE").toText());
    }
    if (codes.Count() > 0) result = codes.GetAllValue();
  });
}

double leadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  const std::size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const std::size_t digitsStart = i;
  while (i < text.size() && isDigit(text[i])) ++i;
  std::size_t digits = i - digitsStart;
  if (i < text.size() && text[i] == '.') {
    const std::size_t fractionStart = ++i;
    while (i < text.size() && isDigit(text[i])) ++i;
    digits += i - fractionStart;
  }
  if (digits == 0) return 0;
  // An exponent counts only when digits follow it.
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && isDigit(text[j])) {
      while (j < text.size() && isDigit(text[j])) ++j;
      i = j;
    }
  }
  std::string number(text.substr(start, i - start));
  if (number[0] == '+') number.erase(0, 1);
  double value = 0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (ec != std::errc() || !std::isfinite(value)) return 0;
  return value;
}

}  // namespace velmora
