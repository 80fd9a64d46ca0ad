// The summary of a batch: what its checks returned, which lots had findings, and which reason
// codes dominate. Written to standard error at the end, as JSON with --summary, and at the top
// of the batch's HTML report.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace velmora::cli {

// A lot whose check did not return "ok".
struct FailedLot {
  std::string where;  // "lots.csv:7", or "" for a selected lot
  std::string lot;
  std::string step;
  std::string result;
  std::string error;  // the one-line reason
};

struct BatchSummary {
  std::size_t lots = 0;  // lots of the input
  std::size_t done = 0;  // lots checked (fewer when interrupted)
  unsigned jobs = 0;     // 0: the lots were read from JSON Lines (velmora report), not checked
  bool interrupted = false;
  double elapsedMs = 0;
  std::map<std::string, std::size_t> results;  // what Execute returned -> number of lots
  std::size_t lotsWithFindings = 0;            // records or lot reasons
  // Every "item/reason" entry -> occurrences: a lot reason counts once per lot, a record's
  // reason once per record.
  std::map<std::string, std::size_t> reasons;
  std::vector<FailedLot> failed;  // in input order
};

// Adds one checked lot.
void addLot(BatchSummary& summary, const std::string& result, bool hasFindings,
            const std::vector<std::string>& reasons, FailedLot failed);

// The `limit` most frequent reasons, most frequent first (then by name).
std::vector<std::pair<std::string, std::size_t>> topReasons(const BatchSummary& summary,
                                                            std::size_t limit);

// The number of reason entries of all lots.
std::size_t reasonTotal(const BatchSummary& summary);

// One JSON object: lots, done, interrupted, jobs, elapsed_ms, results, lots_with_findings,
// failed (where, lot, step, result, error), top_reasons (reason, count; at most 20) and, when
// `reportMs` is not negative, report_ms: the time spent writing the HTML report.
std::string summaryJson(const BatchSummary& summary, double reportMs);

// The same for a person, several lines, each ending in "\n".
std::string summaryText(const BatchSummary& summary);

}  // namespace velmora::cli
