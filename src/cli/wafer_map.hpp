// The wafer map of a lot: its slots as the MES lists them, each coloured by the kind of finding
// that the check's records report for it.
//
// How a record's reasons become a finding kind. A record holds the findings of one wafer and one
// collect type; its Reasons are entries "item/code" (the code is what follows the last "/").
//
//   collect type "2" (fail-count and inspection findings):
//     BYW, SDW          defect   wafer bump-defect rate, or one reason's wafer defect rate, above
//                                its limit
//     OFC, OFCS, OFS    spc      fail-count data flagged out of control (and out of spec)
//     any other code    yield    a wafer below its yield limit: the fail reason codes recorded for
//                                it (fail-count items), or the inspection wafer-yield code as the
//                                station translates it (IQCVMR998 at IQC, FQCIDT022 at FQC steps;
//                                IPQC steps drop it)
//   collect type "1" (SPC chart and comment findings):
//     OFS, OFCS         spc      chart flags
//     any code but OFC  spc      the chart's rule identifiers
//     OFC               comment  when it is the last entry of its item in the record
//                       spc      when a later entry of the same item follows it
//
// OFC is both a chart flagged "1" and a wafer listed in the item's basic-data comment. A chart
// row puts its code before its rule identifiers, and an item's comment rows come after all of its
// chart rows, so a comment's OFC is the last entry of its item. A chart OFC without rule
// identifiers in that place reads as a comment too: the records carry nothing that tells them
// apart (and a comment's OFC on a wafer whose chart already gave OFC is merged away).
// Any other collect type is read as "2".
//
// A slot's finding is "none" without records, the one kind its records show, or "several".
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "velmora/abnormal.hpp"
#include "velmora/outside.hpp"

namespace velmora::cli {

enum class Finding { kNone, kYield, kDefect, kSpc, kComment, kSeveral };

// "none", "yield", "defect", "spc", "comment", "several": the data-finding values of the map.
const char* findingName(Finding finding);

// The finding of a slot with these records (see above).
Finding slotFinding(const std::vector<const Abnormal*>& records);

// The finding's name; for "several" followed by the kinds, e.g. "several (defect, comment)".
std::string findingDetail(const std::vector<const Abnormal*>& records);

// The wafers of a lot: MES_LOT_WAFERID rows in SEQ order.
struct WaferSlot {
  std::string seq;  // SEQ as text
  std::string waferId;
};
struct LotSlots {
  std::vector<WaferSlot> slots;
  std::string error;  // why they could not be read; "" when they were
};

// Reads the lot's slots from MES_LOT_WAFERID (one read-only statement). A failure is returned
// in `error` rather than raised: the report is still worth having without its map.
LotSlots readLotSlots(MesDatabase& mes, const std::string& lot);

// The slot a record belongs to: its WaferSEQ with surrounding blanks removed.
std::string recordSlot(const Abnormal& record);

// Writes the map as HTML to `html`: an inline SVG with one element per slot carrying data-wafer-seq
// and data-finding, a tooltip (<title>) listing the slot's reasons and yields, and under it the
// records that name no slot of the lot. A record belongs to the slot whose SEQ equals its
// WaferSEQ with surrounding blanks removed. `scale` shrinks the map (1 is full size).
void writeWaferMap(std::ostream& html, const LotSlots& lot, const std::vector<Abnormal>& records,
                   double scale);

// The legend: each finding's colour and what it means.
std::string waferLegendHtml();

// The finding's fill colour ("#dc2626"), as the map and the legend draw it.
const char* findingColour(Finding finding);

// What the finding means, as the legend says it.
const char* findingMeaning(Finding finding);

// A small square of the finding's colour (inline SVG), as the legend shows it.
std::string findingSwatchHtml(Finding finding);

}  // namespace velmora::cli
