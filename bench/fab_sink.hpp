// Where the scaled fab generator writes rows: an SQLite database (the demo schema, then the
// rows), and optionally the same rows as PostgreSQL COPY blocks.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace velmora::bench {

// One cell: NULL, a whole number, a number with a fraction, or a text.
using Cell = std::variant<std::monostate, std::int64_t, double, std::string>;

inline Cell null() {
  return std::monostate{};
}

class FabSink {
 public:
  // Creates `database` (an existing file is replaced) with the statements of `schemaFile`; with
  // a non-empty `copyFile`, the rows are also written there as COPY blocks for PostgreSQL.
  FabSink(const std::string& database, const std::string& schemaFile, std::string copyFile);
  ~FabSink();
  FabSink(const FabSink&) = delete;
  FabSink& operator=(const FabSink&) = delete;

  // Adds one row to `table`; `columns` names the cells in order.
  void insert(const std::string& table, const std::vector<std::string>& columns,
              const std::vector<Cell>& cells);

  // Commits the SQLite database (and gathers its statistics) and writes the COPY file.
  void finish();

 private:
  struct Table {
    sqlite3_stmt* insert = nullptr;
    std::vector<std::string> columns;
    std::string copyRows;
  };

  Table& table(const std::string& name, const std::vector<std::string>& columns);
  void exec(const std::string& sql);

  sqlite3* db_ = nullptr;
  std::string path_;
  std::string copyFile_;
  std::map<std::string, Table> tables_;
  std::vector<std::string> order_;  // tables in order of first use (parents before children)
};

}  // namespace velmora::bench
