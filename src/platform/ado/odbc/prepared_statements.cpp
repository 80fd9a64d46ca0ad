#include "platform/ado/odbc/prepared_statements.hpp"

namespace velmora::ado::odbc {

PreparedStatement* PreparedStatements::find(const std::string& shape) {
  const auto found = index_.find(shape);
  if (found == index_.end()) return nullptr;
  entries_.splice(entries_.begin(), entries_, found->second);
  return &found->second->second;
}

PreparedStatement& PreparedStatements::keep(const std::string& shape, PreparedStatement prepared) {
  drop(shape);
  entries_.emplace_front(shape, std::move(prepared));
  index_.emplace(shape, entries_.begin());
  while (entries_.size() > capacity_) {
    index_.erase(entries_.back().first);
    entries_.pop_back();
  }
  return entries_.front().second;
}

void PreparedStatements::drop(const std::string& shape) {
  const auto found = index_.find(shape);
  if (found == index_.end()) return;
  entries_.erase(found->second);
  index_.erase(found);
}

}  // namespace velmora::ado::odbc
