// The entries of a reason list (Reasons and LotDevReasons join entries "item/reason" with ","),
// and of a whole report.
#pragma once

#include <string>
#include <vector>

#include "velmora/report.hpp"

namespace velmora::cli {

// The entries of `list`, split at every "," (none for an empty list).
inline std::vector<std::string> reasonEntries(const std::string& list) {
  std::vector<std::string> entries;
  if (list.empty()) return entries;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = list.find(',', start);
    entries.push_back(list.substr(start, comma - start));
    if (comma == std::string::npos) return entries;
    start = comma + 1;
  }
}

// The code of an entry: what follows its last "/" (the whole entry when it has none).
inline std::string reasonCode(const std::string& entry) {
  const std::size_t slash = entry.rfind('/');
  return slash == std::string::npos ? entry : entry.substr(slash + 1);
}

// Every entry of a report: its lot reasons, then each record's reasons, in order.
inline std::vector<std::string> reportEntries(const Report& report) {
  std::vector<std::string> entries = reasonEntries(report.lotDevReasons);
  for (const Abnormal& record : report.records) {
    for (std::string& entry : reasonEntries(record.Reasons())) entries.push_back(std::move(entry));
  }
  return entries;
}

// Whether a report has findings: records or lot reasons.
inline bool hasFindings(const Report& report) {
  return !report.records.empty() || !report.lotDevReasons.empty();
}

}  // namespace velmora::cli
