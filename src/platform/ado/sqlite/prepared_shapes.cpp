#include "platform/ado/sqlite/prepared_shapes.hpp"

namespace velmora::ado::sqlite {

PreparedShapes::~PreparedShapes() {
  for (Entry& entry : entries_) {
    for (sqlite3_stmt* statement : entry.idle) sqlite3_finalize(statement);
  }
}

sqlite3_stmt* PreparedShapes::take(const std::string& shape, std::string& prepared) {
  const std::lock_guard lock(mutex_);
  const auto found = index_.find(shape);
  if (found == index_.end()) {
    prepared.clear();
    return nullptr;
  }
  entries_.splice(entries_.begin(), entries_, found->second);
  Entry& entry = *found->second;
  prepared = entry.prepared;
  if (entry.idle.empty()) return nullptr;
  sqlite3_stmt* statement = entry.idle.back();
  entry.idle.pop_back();
  return statement;
}

void PreparedShapes::give(const std::string& shape, const std::string& prepared,
                          sqlite3_stmt* statement) {
  sqlite3_reset(statement);
  sqlite3_clear_bindings(statement);
  std::vector<sqlite3_stmt*> letGo;
  {
    const std::lock_guard lock(mutex_);
    auto found = index_.find(shape);
    if (found == index_.end()) {
      entries_.push_front(Entry{shape, prepared, {}});
      found = index_.emplace(shape, entries_.begin()).first;
    }
    Entry& entry = *found->second;
    // One idle statement per shape is what a check reuses; a second one (a shape read twice at
    // once) is let go rather than kept.
    if (entry.idle.empty()) {
      entry.idle.push_back(statement);
    } else {
      letGo.push_back(statement);
    }
    while (entries_.size() > capacity_) {
      Entry& last = entries_.back();
      letGo.insert(letGo.end(), last.idle.begin(), last.idle.end());
      index_.erase(last.shape);
      entries_.pop_back();
    }
  }
  for (sqlite3_stmt* idle : letGo) sqlite3_finalize(idle);
}

}  // namespace velmora::ado::sqlite
