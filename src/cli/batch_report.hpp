// The HTML report of a batch, for batches of any size: the summary, a Pareto chart of reason
// codes with the item/reason entries behind each, a stacked slot map (which slot positions
// fail across lots), and a sortable table of every lot, each lot with findings or a failure
// linking to its own page (lot_report.hpp), written as a separate file. The page holds a line
// per lot and a fixed number of charts, so that it stays small (about 200 bytes per lot).
#pragma once

#include <array>
#include <cstddef>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "cli/batch_summary.hpp"
#include "cli/provenance.hpp"
#include "velmora/report.hpp"

namespace velmora::cli {

// One lot of the table.
struct LotRow {
  std::string lot;
  std::string step;
  std::string result;
  std::string edcFail;  // IsEDCFail
  std::string augFail;  // IsAUGFail
  std::size_t records = 0;
  std::size_t lotReasons = 0;
  std::vector<std::pair<std::string, std::size_t>> topCodes;  // at most 3, most frequent first
  std::string page;  // the lot's page relative to the batch report, "" when it has none
};

// What the batch report shows beyond the summary, collected lot by lot.
struct BatchReport {
  std::vector<LotRow> rows;  // in the order the lots were added
  // Reason code -> description, from the lots' finding contexts.
  std::map<std::string, std::string> descriptions;
  // Slot position (a record's WaferSEQ as a number) -> lots whose wafer in that slot has a
  // finding, by finding kind (indexed by Finding; kNone unused).
  std::map<long, std::array<std::size_t, 6>> slots;
  std::size_t completeLots = 0;  // lots that returned "ok": what the slot shares are shares of
};

// Adds a checked lot: its row (linking to `page` when not ""), its slot findings and the
// descriptions of its codes (those its page read).
void addLot(BatchReport& batch, const Report& report,
            const std::map<std::string, std::string>& descriptions, std::string page);

// The file name of a lot's page: the lot and step with every character other than a letter,
// digit, ".", "_" or "-" replaced by "_" (and then, so that two lots never share a page, a hash
// of the original lot and step), ".html". The same lot and step always give the same name.
std::string lotPageName(const std::string& lot, const std::string& step);

// Where a batch report goes: `--report DIR/` (or an existing folder) is DIR/index.html with
// the lot pages in DIR/lots/; `--report FILE.html` is FILE.html with them in FILE_lots/.
struct ReportPaths {
  std::string page;      // the batch report
  std::string lotsDir;   // the folder of the lot pages
  std::string lotsLink;  // that folder relative to the batch report, ending in "/"
  std::string backLink;  // the batch report relative to a lot page
};
ReportPaths reportPaths(const std::string& option);

// Writes `html`, the page of `report`, into the lot pages' folder of `paths` (as lotPageName
// names it) and returns its link relative to the batch report. An OutputError when it cannot be
// written.
std::string writeLotPage(const ReportPaths& paths, const Report& report, const std::string& html);

// Makes the folders of `paths` (the lot pages' folder, and the report's own when it was given as
// DIR/). "" when they exist and can be written, else why not, naming the folder.
std::string prepareReportFolders(const ReportPaths& paths);

// Writes the batch report. Rows are shown in the order of lot, step and then as added, so that
// the report of the same lots is the same whatever order (or shards) they were checked in.
void writeBatchReport(std::ostream& html, const BatchSummary& summary, const BatchReport& batch,
                      const Provenance& provenance);

}  // namespace velmora::cli
