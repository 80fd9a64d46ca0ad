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

// Writes the page: lot, step, the result with what was found, the six flags (the two *Fail flags
// red when "Y"), the time version, the lot reasons; the wafer map with its legend; the records,
// each reason with what it was judged against (actual value, limit, comparison) and its
// description; a legend of the reason codes that occur; the provenance. A check that did not
// return "ok" says so first, in red, with the failure that ended it, and draws no map.
void writeLotReport(std::ostream& html, const Report& report, const LotPageFacts& facts);

// Whether a lot of a batch gets a page of its own: it has findings, or did not return "ok".
bool needsLotPage(const Report& report);

// A lot's page made in one go: the facts read from `mes`, read-only (the lot's slots and the
// findings' context; none for a check that did not complete, whose page shows the failure only;
// a failure to read them is kept in the facts, as a report is still worth having without its map
// or limits), and the page written to a text. `batchPage` is "" for a single check.
struct LotPage {
  std::string html;
  std::map<std::string, std::string> descriptions;  // of the codes on the page
};
LotPage makeLotPage(MesDatabase& mes, const Report& report, const Provenance& provenance,
                    const std::string& batchPage);

}  // namespace velmora::cli
