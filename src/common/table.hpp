// The abnormality table: wafer-level findings of a check run, one row per finding.
//
// Rows have columns 0 to 10; the checks fill 1 to 9 (see Column) and leave 0 and 10 empty. Row 0
// is an empty row that is never read. Row indexes are 16-bit, so the last row index is 32767:
// appending past it is error 6, which ends the check run.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "velmora/variant.hpp"

namespace velmora {

// The columns of a row, as the checks fill them.
namespace col {
inline constexpr std::size_t kItemName = 1;     // item name (item + "_" + reason for SDW)
inline constexpr std::size_t kEqpId = 2;        // equipment id
inline constexpr std::size_t kCollectType = 3;  // "1" SPC and comments, "2" fail count, inspection
inline constexpr std::size_t kWaferSeq = 4;     // wafer sequence in the lot
inline constexpr std::size_t kWaferId = 5;      // wafer id
inline constexpr std::size_t kFinding = 6;      // a code or a comma list of codes
inline constexpr std::size_t kTa = 7;           // time version TA, or the inspection's InsertUser
inline constexpr std::size_t kLotYield = 8;     // lot yield (empty for collect type "1")
inline constexpr std::size_t kWaferYield = 9;   // wafer yield (empty for collect type "1")
}  // namespace col

using Row = std::array<Variant, 11>;

class AbnormalityTable {
 public:
  AbnormalityTable() { reset(); }

  // Back to the single empty row 0.
  void reset();

  // Appends an empty row and returns it (error 6 past row index 32767). The reference is valid
  // until the next append.
  Row& append();

  // The index of the last row (0 when only row 0 exists).
  std::size_t lastIndex() const { return rows_.size() - 1; }

  const Row& operator[](std::size_t index) const { return rows_[index]; }
  Row& operator[](std::size_t index) { return rows_[index]; }

 private:
  std::vector<Row> rows_;
};

}  // namespace velmora
