#include "check/summary.hpp"

#include <string_view>
#include <vector>

#include "common/text.hpp"

namespace velmora {
namespace {

std::vector<std::string> splitAtCommas(const std::string& text) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    pieces.push_back(
        text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) return pieces;
    start = comma + 1;
  }
}

bool isEmptyCell(const Variant& v) {
  return v.isEmpty() || (v.isText() && v.text().empty());
}

// Accumulates a list cell (item names, equipment ids, TA values): the first value, then every
// value not already an element of the list. An empty value never joins a non-empty list.
void mergeListCell(Variant& accumulated, const Variant& value) {
  if (isEmptyCell(accumulated)) {
    accumulated = value;
    return;
  }
  const std::string list = accumulated.toText();
  const std::string item = value.toText();
  if (item.empty() || listContains(list, item)) return;
  accumulated = Variant(list + "," + item);
}

// Translates the codes of a finding cell and adds each resulting "item/reason" entry to the
// reasons list, once.
void mergeReasons(const Run& run, Variant& reasons, const Row& row) {
  const std::string finding = row[col::kFinding].toText();
  if (finding.empty()) return;
  const std::string itemName = row[col::kItemName].toText();
  std::string list = reasons.toText();
  for (const std::string& piece : splitAtCommas(finding)) {
    const std::string reason = tnsReason(run, piece, run.state.stepId);
    if (reason.empty()) continue;
    const std::string entry = itemName + "/" + trimSpaces(reason);
    if (listContains(list, entry)) continue;
    list = list.empty() ? entry : list + "," + entry;
  }
  reasons = Variant(list);
}

// The value of a yield cell as a number; false for a text that is not a number.
bool numberOf(const Variant& v, double& out) {
  if (v.isText()) return parseNumber(v.text(), out);
  out = v.toDouble();
  return true;
}

// a > b for the yield columns: numbers (and empty as 0) by value, two texts by characters; a Null
// is never greater nor smaller.
bool greaterThan(const Variant& a, const Variant& b) {
  if (a.isNull() || b.isNull()) return false;
  if (a.isText() && b.isText()) return a.text() > b.text();
  double x = 0;
  double y = 0;
  return numberOf(a, x) && numberOf(b, y) && x > y;
}

void mergeRow(const Run& run, Row& into, const Row& row) {
  mergeListCell(into[col::kItemName], row[col::kItemName]);
  mergeListCell(into[col::kEqpId], row[col::kEqpId]);
  mergeListCell(into[col::kTa], row[col::kTa]);
  mergeReasons(run, into[col::kFinding], row);
  // Fail-count and inspection records keep the lowest yields of their wafer.
  if (into[col::kCollectType].toText() == "2") {
    if (greaterThan(into[col::kLotYield], row[col::kLotYield])) {
      into[col::kLotYield] = row[col::kLotYield];
    }
    if (greaterThan(into[col::kWaferYield], row[col::kWaferYield])) {
      into[col::kWaferYield] = row[col::kWaferYield];
    }
  }
}

void mergeAbnormalities(Run& run) {
  AbnormalityTable& summary = run.state.summary;
  const AbnormalityTable& table = run.state.abnormalities;
  summary.reset();
  for (std::size_t r = 1; r <= table.lastIndex(); ++r) {
    const Row& row = table[r];
    bool found = false;
    for (std::size_t s = 1; s <= summary.lastIndex(); ++s) {
      Row& merged = summary[s];
      if (sameValue(row[col::kWaferSeq], merged[col::kWaferSeq]) &&
          sameValue(row[col::kCollectType], merged[col::kCollectType])) {
        found = true;
        mergeRow(run, merged, row);
      }
    }
    if (!found) {
      Row& added = summary.append();
      for (std::size_t c : {col::kItemName, col::kEqpId, col::kCollectType, col::kWaferSeq,
                            col::kWaferId, col::kTa, col::kLotYield, col::kWaferYield}) {
        added[c] = row[c];
      }
      added[col::kFinding] = Variant(std::string());
      mergeReasons(run, added[col::kFinding], row);
    }
  }
}

void buildLotDevReasons(Run& run) {
  if (run.lotDeviations.empty()) return;
  std::string reasons;
  for (const std::string& piece : splitAtCommas(run.lotDeviations)) {
    const std::string reason = tnsReason(run, textAfter(piece, "/"), run.state.stepId);
    if (!reason.empty()) reasons = joinText(reasons, textBefore(piece, "/") + "/" + reason);
  }
  run.state.lotDevReasons = reasons;
}

void appendRecords(Run& run) {
  const AbnormalityTable& summary = run.state.summary;
  for (std::size_t s = 1; s <= summary.lastIndex(); ++s) {
    const Row& row = summary[s];
    if (row[col::kFinding].toText().empty()) continue;
    // A database Null in a cell becomes the empty text rather than failing the run.
    auto record = std::make_shared<Abnormal>();
    record->ItemName(row[col::kItemName].toText());
    record->EQPID(row[col::kEqpId].toText());
    record->CollectType(row[col::kCollectType].toText());
    record->WaferSEQ(row[col::kWaferSeq].toText());
    record->WaferID(row[col::kWaferId].toText());
    record->Reasons(row[col::kFinding].toText());
    record->TA(row[col::kTa].toText());
    record->LotYield(row[col::kLotYield].toText());
    record->WaferYield(row[col::kWaferYield].toText());
    run.state.records.Add(record);
  }
}

}  // namespace

bool sameValue(const Variant& a, const Variant& b) {
  if (a.isNull() || b.isNull()) return false;
  if (a.isEmpty() || b.isEmpty()) {
    const Variant& other = a.isEmpty() ? b : a;
    if (other.isEmpty()) return true;
    if (other.isText()) return other.text().empty();
    return other.toDouble() == 0.0;
  }
  if (a.isText() != b.isText()) return false;
  if (a.isText()) return a.text() == b.text();
  return a.toDouble() == b.toDouble();
}

bool listContains(const std::string& list, const std::string& value) {
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = list.find(',', start);
    const std::size_t end = comma == std::string::npos ? list.size() : comma;
    if (std::string_view(list).substr(start, end - start) == value) return true;
    if (comma == std::string::npos) return false;
    start = comma + 1;
  }
}

void summarize(Run& run) {
  mergeAbnormalities(run);
  buildLotDevReasons(run);
  appendRecords(run);
  run.result = "ok";
}

}  // namespace velmora
