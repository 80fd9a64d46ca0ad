// The statement shapes an ODBC session has prepared: per shape, its prepared statement handle,
// the order in which the shape's values fill its "?" markers, and whether the dialect
// translation changed it; the least recently used shape let go beyond a bound.
#pragma once

#include <cstddef>
#include <list>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/ado/odbc/odbc_handles.hpp"

namespace velmora::ado::odbc {

struct PreparedStatement {
  StatementHandle handle;
  std::vector<std::size_t> order;  // the value number (from 1) of each marker, in text order
  bool translated = false;         // the statement run differs from the statement sent
};

class PreparedStatements {
 public:
  explicit PreparedStatements(std::size_t capacity) : capacity_(capacity) {}

  // The prepared statement of `shape`, now the most recently used; null when there is none.
  PreparedStatement* find(const std::string& shape);
  // Keeps `prepared` for `shape`, letting the least recently used shape go beyond the bound.
  PreparedStatement& keep(const std::string& shape, PreparedStatement prepared);
  // Lets `shape` go (a statement that failed to run is prepared afresh next time).
  void drop(const std::string& shape);

 private:
  using Entry = std::pair<std::string, PreparedStatement>;
  std::size_t capacity_;
  std::list<Entry> entries_;  // most recently used first
  std::unordered_map<std::string, std::list<Entry>::iterator> index_;
};

}  // namespace velmora::ado::odbc
