#include "velmora/recordset.hpp"

#include "platform/automation/text_compare.hpp"
#include "velmora/error.hpp"

namespace velmora {

Recordset::~Recordset() = default;

int Recordset::FindField(std::string_view name) const {
  const int count = FieldCount();
  for (int i = 0; i < count; ++i) {
    if (equalsIgnoreCase(FieldName(i), name)) return i;
  }
  return -1;
}

Variant Recordset::Fields(std::string_view name) const {
  const int index = FindField(name);
  if (index < 0) raise(err::kItemNotFound, std::string(name));
  if (Eof()) raise(err::kNoCurrentRecord);
  return Value(index);
}

Variant Recordset::Fields(int index) const {
  if (index < 0 || index >= FieldCount()) raise(err::kItemNotFound, std::to_string(index));
  if (Eof()) raise(err::kNoCurrentRecord);
  return Value(index);
}

MemoryRecordset::MemoryRecordset(std::vector<std::string> columns,
                                 std::vector<std::vector<Variant>> rows)
    : columns_(std::move(columns)), rows_(std::move(rows)) {
  for (auto& row : rows_) row.resize(columns_.size());
}

void MemoryRecordset::MoveNext() {
  if (Eof()) raise(err::kNoCurrentRecord);
  ++position_;
}

std::string MemoryRecordset::FieldName(int index) const {
  if (index < 0 || index >= FieldCount()) raise(err::kItemNotFound, std::to_string(index));
  return columns_[static_cast<std::size_t>(index)];
}

Variant MemoryRecordset::Value(int index) const {
  return rows_[position_][static_cast<std::size_t>(index)];
}

}  // namespace velmora
