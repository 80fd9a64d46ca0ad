// Comment records: wafers that operators listed in the comment of a basic-data record.
//
// The MES stores the comment as "WithinWafer:" + a list, "|", "WithinDie:" + a list, where each
// list is wafer sequence numbers separated by ","; either section may be missing. Every listed
// wafer becomes a wafer row (collect type "1") with the code "OFC".
#pragma once

#include <string>

#include "common/run.hpp"

namespace velmora {

// One of the two wafer lists of `comment`, as written (not validated). Kind "W" selects the
// within-wafer list, any other kind the within-die list. Extraction is positional, as the MES
// writes the comment:
//   "W": when the comment contains "WithinWafer:" anywhere, the part before the first "|" with
//        its first 12 characters (the length of "WithinWafer:") removed; else "".
//   other: when the comment contains "WithinDie:", everything after its first occurrence to the
//        end of the comment; else "".
// Characters are counted as UTF-8 code points. "" for an empty comment.
std::string getCommentList(const std::string& comment, const std::string& kind);

// Runs the check for run.item under the run's time version. Only the first commented, flagged
// basic-data record is read. Each element of the within-wafer list, then of the within-die list,
// becomes one abnormality row (the element as split, spaces kept, is the wafer sequence), and a
// non-empty list sets IsEDCFail "Y". A failing query reaches the caller (it ends the run).
void runCommentCheck(Run& run);

}  // namespace velmora
