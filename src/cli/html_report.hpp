// The HTML reports: one self-contained file each (inline CSS and SVG, no script, nothing fetched;
// a Content-Security-Policy forbids loading anything).
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cli/batch_summary.hpp"
#include "cli/report.hpp"
#include "cli/wafer_map.hpp"

namespace velmora::cli {

// Writes the report of one check: lot, step, result, the six flags, the time version and the lot
// reasons; the wafer map of the lot's slots with its legend; the records table. A check that did
// not return "ok" says so first, in red, with the failure that ended it, and draws no map.
void writeCheckReport(std::ostream& html, const Report& report, const LotSlots& slots);

// A lot of a batch that had findings, with what its section of the report shows.
struct ReportedLot {
  std::string where;  // "lots.csv:7", or "" for a selected lot
  std::shared_ptr<const Report> report;
  LotSlots slots;
};

// Writes the report of a batch: the summary, a Pareto chart of the reason codes, the lots that
// did not return "ok", and a table of the lots with findings, each with its wafer map.
void writeBatchReport(std::ostream& html, const BatchSummary& summary,
                      const std::vector<ReportedLot>& lots);

}  // namespace velmora::cli
