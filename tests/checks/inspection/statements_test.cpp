// The statements of the inspection checks are accepted by the demo schemas: the inspection
// statements by the inspection schema, the MES statements by the MES schema. (What they select on
// the demo data is shown by the whole check runs of demo_test.cpp.)
#include "checks/inspection/statements.hpp"
#include "common/statements.hpp"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>

#include "support/temp_sqlite.hpp"

namespace velmora {
namespace {

// An in-memory database with the demo schema `name` ("inspection" or "mes").
std::shared_ptr<sqlite3> schema(const std::string& name) {
  sqlite3* raw = nullptr;
  sqlite3_open(":memory:", &raw);
  std::shared_ptr<sqlite3> db(raw, sqlite3_close);
  const std::string sql =
      testing::readBytes(std::string(VELMORA_DEMO_SOURCE) + "/sql/" + name + "-schema.sql");
  EXPECT_EQ(sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
      << sqlite3_errmsg(raw);
  return db;
}

// "" when `sql` prepares on `db`, else the database's message.
std::string prepareError(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* statement = nullptr;
  const int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
  sqlite3_finalize(statement);
  return rc == SQLITE_OK ? "" : sqlite3_errmsg(db);
}

TEST(InspectionStatements, TheDemoSchemasAcceptEveryStatement) {
  const auto inspection = schema("inspection");
  for (const std::string& sql :
       {inspectionCountStatement("LOT-A03", "IQC"), inspectionDetailStatement("LOT-A03", "IQC"),
        defectSumStatement("LOT-A03", "IQC", std::nullopt, std::nullopt),
        defectSumStatement("LOT-A03", "IQC", "210", std::nullopt),
        defectSumStatement("LOT-A03", "IQC", std::nullopt, "100401"),
        defectSumStatement("LOT-A03", "IQC", "210", "100401")}) {
    EXPECT_EQ(prepareError(inspection.get(), sql), "") << sql;
  }
  const auto mes = schema("mes");
  for (const std::string& sql :
       {lotLossRateStatement("EI-7A-I02"), waferLossRateStatement("EI-7A-I02"),
        waferSequenceStatement("LOT-A03", "06")}) {
    EXPECT_EQ(prepareError(mes.get(), sql), "") << sql;
  }
}

}  // namespace
}  // namespace velmora
