// The summary merge: whatever the rows of the abnormality table hold (texts, numbers, empty
// cells, Nulls), the summary ends with "ok"; the records are the merged rows that have reasons;
// every translated code of every row reaches a record of its wafer and collect type, and no
// record holds a reason that no row gave.
//
// Input: the station of the step (first line), the lot deviation list (second line), then one
// row per line, cells separated by "|": item|eqp|collect|seq|wafer|finding|ta|lotYield|
// waferYield. A cell "~" is Null, an empty cell is Empty, "#<number>" is a number, anything else
// is a text.
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "check/summary.hpp"
#include "common/text.hpp"
#include "property.hpp"
#include "support/run_fixture.hpp"

namespace {

using namespace velmora;
using velmora::fuzz::require;
using velmora::fuzz::splitOnce;

constexpr std::size_t kMaxRows = 64;

Variant cellOf(const std::string& text) {
  if (text == "~") return Variant::null();
  if (text.empty()) return Variant();
  if (text[0] == '#') {
    char* end = nullptr;
    const double number = std::strtod(text.c_str() + 1, &end);
    if (end != text.c_str() + 1 && *end == '\0' && std::isfinite(number)) return Variant(number);
  }
  return Variant(text);
}

std::vector<std::string> splitAll(const std::string& text, char separator) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  while (true) {
    const std::size_t at = text.find(separator, start);
    pieces.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
    if (at == std::string::npos) return pieces;
    start = at + 1;
  }
}

// Whether the summary row `merged` is where `row` went: it matches by value, or it is the row's
// own (a Null wafer sequence matches nothing, so such a row stands alone).
bool wentTo(const Row& row, const Row& merged) {
  const bool sameKey = sameValue(row[col::kWaferSeq], merged[col::kWaferSeq]) &&
                       sameValue(row[col::kCollectType], merged[col::kCollectType]);
  return sameKey || (row[col::kWaferSeq].toText() == merged[col::kWaferSeq].toText() &&
                     row[col::kCollectType].toText() == merged[col::kCollectType].toText());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto [station, rest] = splitOnce(velmora::fuzz::textOf(data, size), '\n');
  const auto [deviations, table] = splitOnce(rest, '\n');
  testing::RunFixture f;
  f.mes->on("SELECT B.STATION", testing::Answer{{"STATION"}, {{Variant(station)}}});
  f.run.lotDeviations = deviations;
  std::vector<Row> rows;
  bool commaFree = true;  // no "," in item names and codes, so reason lists split cleanly
  for (const std::string& line : splitAll(table, '\n')) {
    if (line.empty() || rows.size() == kMaxRows) continue;
    const std::vector<std::string> cells = splitAll(line, '|');
    Row& row = f.state.abnormalities.append();
    const std::size_t columns[] = {col::kItemName, col::kEqpId,    col::kCollectType,
                                   col::kWaferSeq, col::kWaferId,  col::kFinding,
                                   col::kTa,       col::kLotYield, col::kWaferYield};
    for (std::size_t c = 0; c < std::size(columns) && c < cells.size(); ++c) {
      row[columns[c]] = cellOf(cells[c]);
    }
    commaFree = commaFree && row[col::kItemName].toText().find(',') == std::string::npos;
    rows.push_back(row);
  }

  summarize(f.run);
  require(f.run.result == "ok", "the summary ends with ok");

  // The records are the merged rows with reasons, in order.
  const AbnormalityTable& summary = f.state.summary;
  std::vector<const Row*> withReasons;
  for (std::size_t s = 1; s <= summary.lastIndex(); ++s) {
    if (!summary[s][col::kFinding].toText().empty()) withReasons.push_back(&summary[s]);
  }
  require(f.state.records.Count() == withReasons.size(), "one record per merged row with reasons");
  for (std::size_t r = 0; r < withReasons.size(); ++r) {
    const auto record = f.state.records.Item(Variant(static_cast<std::int64_t>(r + 1)));
    require(record->Reasons() == (*withReasons[r])[col::kFinding].toText() &&
                record->WaferSEQ() == (*withReasons[r])[col::kWaferSeq].toText() &&
                record->ItemName() == (*withReasons[r])[col::kItemName].toText(),
            "a record is its merged row");
  }

  // Every translated code reaches a record of its wafer; no record holds a reason no row gave.
  std::vector<std::string> given;
  for (const Row& row : rows) {
    const std::string finding = row[col::kFinding].toText();
    if (finding.empty()) continue;
    for (const std::string& code : splitAll(finding, ',')) {
      const std::string reason = tnsReason(f.run, code, f.state.stepId);
      if (reason.empty()) continue;
      const std::string entry = row[col::kItemName].toText() + "/" + trimSpaces(reason);
      given.push_back(entry);
      if (entry.find(',') != std::string::npos) continue;
      bool found = false;
      for (const Row* merged : withReasons) {
        found = found ||
                (wentTo(row, *merged) && listContains((*merged)[col::kFinding].toText(), entry));
      }
      require(found, "every translated code reaches a record of its wafer", entry);
    }
  }
  if (commaFree) {
    for (const Row* merged : withReasons) {
      for (const std::string& entry : splitAll((*merged)[col::kFinding].toText(), ',')) {
        bool known = false;
        for (const std::string& g : given) known = known || g == entry;
        require(known, "no record holds a reason that no row gave", entry);
      }
    }
  }

  // Each lot deviation gives one lot reason at most.
  if (!f.state.lotDevReasons.empty()) {
    require(splitAll(f.state.lotDevReasons, ',').size() <= splitAll(deviations, ',').size(),
            "each lot deviation gives one lot reason at most", f.state.lotDevReasons);
  }
  return 0;
}
