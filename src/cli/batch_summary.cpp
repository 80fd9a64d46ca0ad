#include "cli/batch_summary.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/report.hpp"

namespace velmora::cli {
namespace {

constexpr std::size_t kTopReasonsJson = 20;
constexpr std::size_t kTopReasonsText = 10;
constexpr std::size_t kFailedText = 10;

// `text` as it is shown on a terminal: control characters escaped, and the empty result as ""
// in quotes, so that it can be seen.
std::string shown(const std::string& text) {
  return text.empty() ? "\"\"" : printable(text);
}

}  // namespace

void addLot(BatchSummary& summary, const std::string& result, bool hasFindings,
            const std::vector<std::string>& reasons, FailedLot failed) {
  ++summary.done;
  ++summary.results[result];
  if (hasFindings) ++summary.lotsWithFindings;
  for (const std::string& reason : reasons) ++summary.reasons[reason];
  if (result != "ok") summary.failed.push_back(std::move(failed));
}

std::vector<std::pair<std::string, std::size_t>> topReasons(const BatchSummary& summary,
                                                            std::size_t limit) {
  std::vector<std::pair<std::string, std::size_t>> top(summary.reasons.begin(),
                                                       summary.reasons.end());
  std::stable_sort(top.begin(), top.end(),
                   [](const auto& a, const auto& b) { return a.second > b.second; });
  if (top.size() > limit) top.resize(limit);
  return top;
}

std::size_t reasonTotal(const BatchSummary& summary) {
  std::size_t total = 0;
  for (const auto& [reason, count] : summary.reasons) total += count;
  return total;
}

std::string summaryJson(const BatchSummary& summary, double reportMs) {
  nlohmann::ordered_json out = nlohmann::ordered_json::object();
  out["lots"] = summary.lots;
  out["done"] = summary.done;
  out["interrupted"] = summary.interrupted;
  out["jobs"] = summary.jobs;
  out["elapsed_ms"] = std::round(summary.elapsedMs * 1000) / 1000;
  nlohmann::ordered_json results = nlohmann::ordered_json::object();
  for (const auto& [result, count] : summary.results) results[result] = count;
  out["results"] = std::move(results);
  out["lots_with_findings"] = summary.lotsWithFindings;
  nlohmann::ordered_json failed = nlohmann::ordered_json::array();
  for (const FailedLot& lot : summary.failed) {
    failed.push_back({{"where", lot.where},
                      {"lot", lot.lot},
                      {"step", lot.step},
                      {"result", lot.result},
                      {"error", lot.error}});
  }
  out["failed"] = std::move(failed);
  nlohmann::ordered_json top = nlohmann::ordered_json::array();
  for (const auto& [reason, count] : topReasons(summary, kTopReasonsJson)) {
    top.push_back({{"reason", reason}, {"count", count}});
  }
  out["top_reasons"] = std::move(top);
  if (reportMs >= 0) out["report_ms"] = std::round(reportMs * 1000) / 1000;
  return out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string summaryText(const BatchSummary& summary) {
  std::ostringstream out;
  char rate[64];
  const double seconds = summary.elapsedMs / 1000;
  std::snprintf(rate, sizeof rate, "%.1f s, %.1f lots/s", seconds,
                seconds > 0 ? static_cast<double>(summary.done) / seconds : 0.0);
  if (summary.jobs == 0) {
    out << "velmora report: " << summary.done << " lots read from JSON Lines\n";
  } else {
    out << "velmora batch: " << summary.done << " of " << summary.lots << " lots checked in "
        << rate << ", " << summary.jobs << (summary.jobs == 1 ? " job" : " jobs")
        << (summary.interrupted ? " (interrupted)" : "") << "\n";
  }
  out << "  results:";
  for (const auto& [result, count] : summary.results) out << ' ' << shown(result) << ' ' << count;
  if (summary.results.empty()) out << " none";
  out << "\n  lots with findings: " << summary.lotsWithFindings << "\n";
  for (std::size_t i = 0; i < summary.failed.size() && i < kFailedText; ++i) {
    const FailedLot& lot = summary.failed[i];
    out << "  failed: " << (lot.where.empty() ? "" : shown(lot.where) + ": ") << shown(lot.lot)
        << " at " << shown(lot.step) << ": " << shown(lot.result) << ": " << shown(lot.error)
        << "\n";
  }
  if (summary.failed.size() > kFailedText) {
    out << "  ... and " << summary.failed.size() - kFailedText << " more failed lots\n";
  }
  const auto top = topReasons(summary, kTopReasonsText);
  if (!top.empty()) out << "  top reasons:\n";
  for (const auto& [reason, count] : top) {
    char line[32];
    std::snprintf(line, sizeof line, "  %7zu  ", count);
    out << line << shown(reason) << "\n";
  }
  return out.str();
}

}  // namespace velmora::cli
