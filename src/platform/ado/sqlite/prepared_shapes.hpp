// The statement shapes an SQLite session has prepared, kept for the next statement of the same
// shape: each shape's text as prepared (after the outer-join rewrite) and its idle prepared
// statements, the least recently used shape let go beyond a bound.
#pragma once

#include <sqlite3.h>

#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace velmora::ado::sqlite {

class PreparedShapes : public std::enable_shared_from_this<PreparedShapes> {
 public:
  explicit PreparedShapes(std::size_t capacity) : capacity_(capacity) {}
  ~PreparedShapes();
  PreparedShapes(const PreparedShapes&) = delete;
  PreparedShapes& operator=(const PreparedShapes&) = delete;

  // An idle prepared statement of `shape` (null when there is none) and the shape's text as
  // prepared ("" when the shape is not known).
  sqlite3_stmt* take(const std::string& shape, std::string& prepared);
  // Keeps a statement of `shape`, reset and with its values cleared, for the next take; a
  // shape over the bound lets the least recently used one go.
  void give(const std::string& shape, const std::string& prepared, sqlite3_stmt* statement);

 private:
  struct Entry {
    std::string shape;
    std::string prepared;
    std::vector<sqlite3_stmt*> idle;
  };
  std::size_t capacity_;
  std::mutex mutex_;
  std::list<Entry> entries_;  // most recently used first
  std::unordered_map<std::string, std::list<Entry>::iterator> index_;
};

}  // namespace velmora::ado::sqlite
