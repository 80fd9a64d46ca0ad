// Findings in context: what each reason entry of a report was judged against.
//
// A report says what a check found as entries "item/code"; a person reading it also wants the
// value judged, the limit and the comparison. readFindingContext reads them, read-only, from the
// MES database: the lot's EDC items at the step (their limit columns LSL, USL, CP, CPK, found as
// the check finds them), the loss-rate limits of the items named by reason-rate entries, and the
// descriptions of the reason codes (EDC_PRD_REASONCODE).
//
// What each code is judged against. `item` is the EDC item the entry names: an item whose name
// is the entry's prefix, or for a reason-rate entry whose prefix is the item name, "_" and the
// reason's description.
//
//   lot entries (LotDevReasons)
//     BYL                        lot bump-defect rate above the item's CP
//     SDL                        lot rate of one reason above its loss-rate LOTPERCENT
//     LLY, IQCVMR999, FQCIDT023  lot yield below the item's USL; actual: the LotYield of a record
//                                whose entries all name this item ("" when there is none)
//     OFS, OFCS                  capability mark 1 or 2 on fail-count data (the item's CP and CPK
//                                are bump limits there: no limit)
//     CP, CPK, CPCPK             capability below the item's CP, its CPK, or both
//     FQCIDT021, IPQIDPM03,      capability below the item's CP or CPK: the station's code does
//     IPQIDDM25                  not tell which, so its limit names both
//   record entries, collect type "2" (fail-count and inspection)
//     BYW                        wafer bump-defect rate above the item's CPK
//     SDW                        wafer rate of one reason above its loss-rate WAFERPERCENT
//     OFC, OFCS                  fail-count violation flag 2 or 3 (no limit)
//     any other code             wafer yield below the item's LSL (a fail reason code, or the
//                                inspection wafer-yield code WLY, IQCVMR998, FQCIDT022); actual:
//                                the record's WaferYield when all its entries name this item
//   record entries, collect type "1" (SPC chart and comments)
//     OFC                        a wafer listed in the item's basic-data comment when it is the
//                                last entry of its item in the record, else chart flag 1
//     OFS, OFCS                  chart flag 2 or 3
//     any other code             an SPC rule identifier
//
// Actual values: the records carry yields only, so WaferYield and LotYield are the actual values
// of yield codes. Rates are not re-computed (that would be judging again, with the check's cost):
// their actual is "". A record merges the rows of one wafer over items, keeping the lowest
// yields, so its yields are an item's own only when all its entries name that item; otherwise
// actual stays "".
#pragma once

#include <map>
#include <string>
#include <vector>

#include "velmora/export.h"
#include "velmora/outside.hpp"
#include "velmora/report.hpp"

namespace velmora {

// How one reason entry was judged.
struct Judgement {
  std::string entry;        // the entry as it stands: "item/code"
  std::string code;         // the code: what follows the entry's last "/"
  std::string description;  // what the code means: its EDC_PRD_REASONCODE description, or for
                            // the component's own codes and SPC rule ids a fixed English text;
                            // "" when unknown
  std::string actual;       // the value judged, as text (e.g. "89.5"); "" when the records do not
                            // hold it
  std::string limit;        // the limit it was judged against as text ("CP 1.33, CPK 1.5" for a
                            // capability code); "" when none applies or it is unknown
  std::string comparison;   // short English, e.g. "wafer yield below lower limit (LSL)"
  std::string item;         // the EDC item the entry names; "" when no item of the step has it
  std::string reason;       // for SDW and SDL: the loss-rate reason code whose rate was judged
};

struct FindingContext {
  std::vector<Judgement> lot;                   // one per LotDevReasons entry, in order
  std::vector<std::vector<Judgement>> records;  // one vector per record (Item order), one
                                                // judgement per Reasons entry
  // Every code of the report that has a description, and the reason codes of SDW/SDL entries,
  // mapped to it.
  std::map<std::string, std::string> descriptions;
  // Why the context could not be read in full, naming the statement ("" when it was). Nothing
  // more is asked of the database after its first failure; the judgements then still carry what
  // is known (codes, fixed descriptions, actual yields).
  std::string error;
};

// Reads, read-only, what `report`'s findings were judged against. Never throws for a database
// failure (it goes to `error`); an empty report gives an empty context and sends nothing.
VELMORA_EXPORT FindingContext readFindingContext(MesDatabase& mes, const Report& report);

}  // namespace velmora
