// The HTML report of one lot's check: what `velmora check --format html` writes, and the page of
// each lot with findings or a failure that a batch report links to.
#pragma once

#include <map>
#include <ostream>
#include <string>

#include "cli/provenance.hpp"
#include "cli/wafer_map.hpp"
#include "velmora/findings.hpp"
#include "velmora/report.hpp"

namespace velmora::cli {

// What one lot's page shows besides the report itself.
struct LotPageFacts {
  LotSlots slots;          // the lot's wafers, for the map
  FindingContext context;  // what the findings were judged against
  Provenance provenance;
  std::string batchPage;  // relative link back to the batch report, "" for a single check
};

// Reads what a lot's page needs from the MES database (read-only): the lot's slots and the
// findings' context. Failures are kept in the facts (LotSlots::error, FindingContext::error): a
// report is still worth having without its map or limits.
LotPageFacts readLotPageFacts(MesDatabase& mes, const Report& report);

// Writes the page: lot, step, the result with what was found, the six flags (the two *Fail flags
// red when "Y"), the time version, the lot reasons; the wafer map with its legend; the records,
// each reason with what it was judged against (actual value, limit, comparison) and its
// description; a legend of the reason codes that occur; the provenance. A check that did not
// return "ok" says so first, in red, with the failure that ended it, and draws no map.
void writeLotReport(std::ostream& html, const Report& report, const LotPageFacts& facts);

// Whether a lot of a batch gets a page of its own: it has findings, or did not return "ok".
bool needsLotPage(const Report& report);

// A lot's page for a batch report, made in one go: the facts read from `mes` (none for a check
// that did not complete: its page shows the failure only) and the page written to a text.
struct LotPage {
  std::string html;
  std::map<std::string, std::string> descriptions;  // of the codes on the page
};
LotPage makeLotPage(MesDatabase& mes, const Report& report, const Provenance& provenance,
                    const std::string& batchPage);

}  // namespace velmora::cli
