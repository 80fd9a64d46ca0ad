// The command's own read-only statements on the MES database, exactly as they are sent. Values
// are quoted by sqlQuoted, the library's one quoting function (compiled into the command).
#pragma once

#include <string>

namespace velmora::cli {

// The one statement that selects the lots with a valid collection (a time version whose LASTTXN
// is '1' or NULL; '0' marks a cancelled one) at `step` whose DATETIME lies in [since, until):
// each lot once, in the order of its first such collection, then by lot id. `since` and `until`
// are times as parseBatchTime returns them, compared with the stored DATETIME as written.
std::string selectLotsStatement(const std::string& step, const std::string& since,
                                const std::string& until);

// The table of the lots' wafers, for messages about it.
inline constexpr const char* kLotWafersTable = "MES_LOT_WAFERID";

// The lot's wafers (SEQ, WAFERID) in the order of their sequence numbers.
std::string lotWafersStatement(const std::string& lot);

}  // namespace velmora::cli
