#include "common/table.hpp"

#include "velmora/error.hpp"

namespace velmora {

void AbnormalityTable::reset() {
  rows_.clear();
  rows_.emplace_back();
}

Row& AbnormalityTable::append() {
  if (lastIndex() >= 32767) raise(err::kOverflow, "the abnormality table is full");
  return rows_.emplace_back();
}

}  // namespace velmora
