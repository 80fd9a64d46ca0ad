// An inspection database for tests of the inspection checks: an SQLite file with the demo
// inspection schema in a temporary folder, filled by the test, opened by the component through
// the ado layer's "sqlite" provider, and recording every statement the component runs on it.
//
// The recording hooks every SQLite connection the process opens while a database object lives
// (an automatic extension that installs a statement trace) and keeps the statements run through
// read-only connections to this file, which are the component's: the test's own writes go
// through a read-write connection and are not recorded.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/ado/connection.hpp"
#include "support/temp_sqlite.hpp"

namespace velmora::testing {

class InspectionDb {
 public:
  InspectionDb() {
    exec(readBytes(std::string(VELMORA_DEMO_SOURCE) + "/sql/inspection-schema.sql"));
    active() = this;
    sqlite3_auto_extension(reinterpret_cast<void (*)(void)>(&installTrace));
  }
  ~InspectionDb() {
    sqlite3_cancel_auto_extension(reinterpret_cast<void (*)(void)>(&installTrace));
    active() = nullptr;
  }
  InspectionDb(const InspectionDb&) = delete;
  InspectionDb& operator=(const InspectionDb&) = delete;

  const std::string& path() const { return path_; }

  // Runs `sql` (inserts) on the file through a read-write connection of the test's own.
  // The writes skip the disk syncs: the file lives only as long as the test.
  void exec(const std::string& sql) const {
    makeDatabase(path_, "PRAGMA synchronous=OFF; PRAGMA journal_mode=MEMORY;" + sql);
  }

  // An open connection to the file, as the component's inspection connection.
  std::shared_ptr<ado::Connection> open() const {
    auto connection = std::make_shared<ado::Connection>();
    connection->Provider = "sqlite";
    connection->Open("Data Source=" + path_ + ";");
    return connection;
  }

  // The statements run through read-only connections to the file, in order.
  std::vector<std::string> statements;

  // Number of recorded statements that contain `fragment`.
  int count(const std::string& fragment) const {
    int n = 0;
    for (const auto& s : statements) n += s.find(fragment) != std::string::npos ? 1 : 0;
    return n;
  }

 private:
  static InspectionDb*& active() {
    static InspectionDb* database = nullptr;
    return database;
  }

  static int installTrace(sqlite3* db, char** /*error*/, const sqlite3_api_routines* /*api*/) {
    sqlite3_trace_v2(db, SQLITE_TRACE_STMT, &onStatement, nullptr);
    return SQLITE_OK;
  }

  static int onStatement(unsigned /*type*/, void* /*context*/, void* statement, void* /*sql*/) {
    InspectionDb* database = active();
    auto* stmt = static_cast<sqlite3_stmt*>(statement);
    sqlite3* db = sqlite3_db_handle(stmt);
    if (database == nullptr || sqlite3_db_readonly(db, "main") != 1) return 0;
    const char* file = sqlite3_db_filename(db, "main");
    if (file == nullptr || std::filesystem::path(file) != database->canonical_) return 0;
    const std::string sql = sqlite3_sql(stmt);
    // The driver's own schema read when it opens the file.
    if (sql != "SELECT count(*) FROM sqlite_master") database->statements.push_back(sql);
    return 0;
  }

  TempFolder folder_;
  std::string path_ = folder_.file("inspection.db");
  std::filesystem::path canonical_ = std::filesystem::weakly_canonical(path_);
};

}  // namespace velmora::testing
