#include "engine_replay.hpp"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>

#include "platform/ado/sqlite/oracle_functions.hpp"

namespace velmora::bench {
namespace {

struct CloseDatabase {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using Database = std::unique_ptr<sqlite3, CloseDatabase>;

// Read-only connections to the recorded files, opened on first use.
class Connections {
 public:
  sqlite3* of(const std::string& file) {
    Database& db = open_[file];
    if (!db) {
      sqlite3* raw = nullptr;
      const int rc = sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
      db.reset(raw);
      if (rc != SQLITE_OK || ado::sqlite::registerOracleFunctions(raw) != SQLITE_OK) {
        throw std::runtime_error("replay: cannot open " + file);
      }
    }
    return db.get();
  }

 private:
  std::map<std::string, Database> open_;
};

// Runs `statement` to its end, reading every column of every row as the driver would.
void runToEnd(sqlite3* db, const StatementLog::Statement& statement) {
  const auto refused = [&] {
    return std::runtime_error("replay on " + statement.first + ": " + sqlite3_errmsg(db) + " in " +
                              statement.second);
  };
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, statement.second.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
    throw refused();
  }
  const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> owned(raw, &sqlite3_finalize);
  const int columns = sqlite3_column_count(raw);
  int rc = SQLITE_ROW;
  while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
    for (int i = 0; i < columns; ++i) {
      if (sqlite3_column_type(raw, i) == SQLITE_TEXT) sqlite3_column_text(raw, i);
    }
  }
  if (rc != SQLITE_DONE) throw refused();
}

double bestOf(int passes, const std::vector<const StatementLog::Statement*>& statements,
              Connections& connections) {
  double best = std::numeric_limits<double>::infinity();
  for (int pass = 0; pass < passes; ++pass) {
    const auto start = std::chrono::steady_clock::now();
    for (const StatementLog::Statement* statement : statements) {
      runToEnd(connections.of(statement->first), *statement);
    }
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

}  // namespace

EngineReplay replayOnEngine(const std::vector<StatementLog::Statement>& sent, int passes) {
  std::vector<const StatementLog::Statement*> all;
  std::vector<const StatementLog::Statement*> distinct;
  std::set<StatementLog::Statement> seen;
  for (const StatementLog::Statement& statement : sent) {
    all.push_back(&statement);
    if (seen.insert(statement).second) distinct.push_back(&statement);
  }
  Connections connections;
  // One pass of each first, so that both find the files' pages in memory.
  bestOf(1, all, connections);
  EngineReplay replay;
  replay.allMs = bestOf(passes, all, connections);
  replay.distinctMs = bestOf(passes, distinct, connections);
  return replay;
}

}  // namespace velmora::bench
