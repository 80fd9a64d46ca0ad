// Damage done to a copy of a database, as a fab's disks and administrators do it: the failure
// fixtures of the tests of failed check runs and of velmora doctor.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <string>

#include "support/temp_sqlite.hpp"

namespace velmora::testing {

// Flips the lowest bit of the page-type byte of `table`'s root page: the page is no b-tree page
// any more, which SQLite reports as a malformed database image when it reads the table.
inline void corruptRootPage(const std::string& path, const std::string& table) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  sqlite3_stmt* statement = nullptr;
  const std::string sql = "SELECT rootpage FROM sqlite_master WHERE name='" + table + "'";
  ASSERT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
  const sqlite3_int64 page = sqlite3_column_int64(statement, 0);
  sqlite3_finalize(statement);
  ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA page_size", -1, &statement, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
  const sqlite3_int64 pageSize = sqlite3_column_int64(statement, 0);
  sqlite3_finalize(statement);
  sqlite3_close(db);
  ASSERT_GT(page, 1);
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  file.seekg((page - 1) * pageSize);
  char type = 0;
  file.read(&type, 1);
  file.seekp((page - 1) * pageSize);
  type = static_cast<char>(type ^ 1);
  file.write(&type, 1);
}

inline void dropTable(const std::string& path, const std::string& table) {
  testing::makeDatabase(path, "DROP TABLE " + table);
}

}  // namespace velmora::testing
