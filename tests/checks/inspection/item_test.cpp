#include "checks/inspection/item.hpp"

#include <gtest/gtest.h>

#include "check/dispatch.hpp"
#include "checks/inspection/inspection_db.hpp"
#include "common/database.hpp"
#include "platform/ado/connection.hpp"
#include "platform/ado/connection_string.hpp"
#include "platform/ado/odbc/pg_server.hpp"
#include "support/check_fixture.hpp"
#include "support/run_fixture.hpp"

namespace velmora {
namespace {

using testing::Answer;
using testing::InspectionDb;
using testing::RunFixture;

// One IQC record of LOT1 whose lot yield (50 %) is below every item's USL of 80.
const std::string kLowLot =
    "INSERT INTO AUGUSTLOTDATA VALUES (1, 'LOT1', 'IQC', 100, 1, 50, 'INS1', NULL);"
    "INSERT INTO AUGUSTWAFERDATA VALUES (1, 11, '01', 50, 'M1', 'OP1');";

// A run whose inspection "server" is an SQLite file, reached through SQLOLEDB.1 as the demo
// installation maps it.
struct ItemFixture : RunFixture {
  ItemFixture() {
    context->providers["SQLOLEDB.1"] = "sqlite";
    run.stationClass = "IQC";
    run.inspection = {db.path(), "inspector", "s3cret", "INSPECTION"};
    db.exec(kLowLot);
    setItem("I4", "ITEM", "4", {{"USL", Variant(80)}});
  }

  int traced(const std::string& fragment) const {
    int n = 0;
    for (const auto& e : trace->entries) n += e.find(fragment) != std::string::npos ? 1 : 0;
    return n;
  }

  InspectionDb db;
};

TEST(InspectionItem, OpensAConnectionForTheCheckAndDropsItAfterwards) {
  ItemFixture f;
  EXPECT_TRUE(runInspectionItem(f.run, kInspectionItem));
  EXPECT_EQ(f.state.inspection, nullptr);
  EXPECT_EQ(flagText(f.state.flags.IsAUGCollect), "Y");
  EXPECT_EQ(f.run.lotDeviations, "ITEM/LLY");
  EXPECT_EQ(f.trace->entries.front(), "Abnormals.getMSSQLConnect: Executing...");
  EXPECT_EQ(f.traced("getMSSQLConnect"), 1);
}

TEST(InspectionItem, AnUnreachableDatabaseRunsNoCheckAndKeepsThePasswordOutOfTheTrace) {
  ItemFixture f;
  testing::TempFolder folder;
  f.run.inspection.server = folder.file("missing.db");
  EXPECT_FALSE(runInspectionItem(f.run, kInspectionItem));
  EXPECT_EQ(f.state.inspection, nullptr);
  EXPECT_EQ(flagText(f.state.flags.IsAUGCollect), "N");
  EXPECT_TRUE(f.mes->statements.empty());
  ASSERT_EQ(f.trace->entries.size(), 2u);
  EXPECT_NE(f.trace->entries[1].find("missing.db"), std::string::npos) << f.trace->entries[1];
  EXPECT_EQ(f.traced("s3cret"), 0);
}

// The login settings are quoted where needed: the connection string reads back as written
// (before, a ";" in the password split it and the login failed), and no password is traced.
TEST(InspectionItem, APasswordWithSemicolonQuotesOrBlanksLogsInAndIsNeverTraced) {
  for (const std::string password : {"pa;ss", "'pa'ss", "\"pa\"ss", "  pa ss ", "{pa}ss", "p=s"}) {
    ItemFixture f;
    f.run.inspection.password = password;
    const ado::ConnectionString written =
        ado::ConnectionString::parse(inspectionConnectionString(f.run.inspection));
    EXPECT_EQ(written.get("Password"), password);
    EXPECT_EQ(written.get("Data Source"), f.run.inspection.server);
    EXPECT_EQ(written.get("User Id"), "inspector");
    EXPECT_EQ(written.get("Initial Catalog"), "INSPECTION");
    EXPECT_TRUE(runInspectionItem(f.run, kInspectionItem)) << password;
    EXPECT_EQ(f.traced(password), 0) << password;
  }
}

// The same over ODBC against the test server, whose second role's password holds ";", braces,
// "=" and a blank: the login succeeds, and the password is in no entry.
class OdbcPgInspectionLogin : public testing::PgServerTest {};

TEST_F(OdbcPgInspectionLogin, AnOddPasswordLogsIn) {
  if (server.oddUser.empty()) GTEST_SKIP() << "no role with an odd password configured";
  RunFixture f;
  f.context->providers["SQLOLEDB.1"] = "odbc:Driver={" + server.driver + "};Port=" + server.port;
  const InspectionSettings settings{"127.0.0.1", server.oddUser, server.oddPassword, "inspection"};
  ASSERT_TRUE(getMSSQLConnect(f.run, settings)) << f.trace->entries.back();
  const auto rows = runCommand("SELECT current_user", f.state.inspection);
  EXPECT_EQ(rows->Fields(0), Variant(server.oddUser));
  for (const std::string& entry : f.trace->entries) {
    EXPECT_EQ(entry.find(server.oddPassword), std::string::npos) << entry;
  }
}

TEST(InspectionItem, TheConnectionIsDroppedAlsoWhenTheCheckFails) {
  ItemFixture f;
  f.mes->failOn("EDC_PRD_LOSSRATE", AutomationError(-942, "ORA-00942"));
  EXPECT_THROW(runInspectionItem(f.run, kInspectionItem), AutomationError);
  EXPECT_EQ(f.state.inspection, nullptr);
}

TEST(InspectionDispatch, TypeFourRunsTheCheckWhoseLotYieldFindingSetsTheFailFlag) {
  ItemFixture f;
  EXPECT_EQ(dispatchItem(f.run), ItemOutcome::kDone);
  EXPECT_EQ(flagText(f.state.flags.IsAUGItem), "Y");
  EXPECT_EQ(f.run.lotDeviations, "ITEM/LLY");
  EXPECT_EQ(flagText(f.state.flags.IsAUGFail), "Y");
  EXPECT_EQ(f.state.inspection, nullptr);
}

TEST(InspectionDispatch, TypeFiveWithoutTimeVersionRunsTheCheckWithoutSettingTheFailFlag) {
  ItemFixture f;
  f.setItem("I5", "ITEM", 5, {{"USL", Variant(80)}});
  f.state.timeVersionSysid = "";
  EXPECT_EQ(dispatchItem(f.run), ItemOutcome::kDone);
  EXPECT_EQ(flagText(f.state.flags.IsAUGItem), "Y");
  EXPECT_EQ(f.run.lotDeviations, "ITEM/LLY");
  EXPECT_EQ(flagText(f.state.flags.IsAUGFail), "N");
  EXPECT_EQ(f.mes->count("EDC_PRD_BASICDATA"), 0);
}

TEST(InspectionDispatch, TypeFiveWithoutBasicDataFallsBackToTheInspectionCheck) {
  ItemFixture f;
  f.setItem("I5", "ITEM", "5", {{"USL", Variant(80)}});
  EXPECT_EQ(dispatchItem(f.run), ItemOutcome::kDone);
  EXPECT_EQ(f.mes->count("EDC_PRD_BASICDATA"), 1);
  EXPECT_EQ(f.run.lotDeviations, "ITEM/LLY");
  EXPECT_EQ(flagText(f.state.flags.IsAUGFail), "N");
  EXPECT_FALSE(f.db.statements.empty());
  EXPECT_EQ(f.state.inspection, nullptr);
}

TEST(InspectionDispatch, TypeFiveWithBasicDataLeavesTheInspectionDatabaseAlone) {
  ItemFixture f;
  f.setItem("I5", "ITEM", "5", {{"USL", Variant(80)}});
  f.mes->on("A.FLAG='1' OR A.FLAG='0'",
            Answer{{"EQPID", "FLAG"}, {{Variant("EQ1"), Variant("0")}}});
  EXPECT_EQ(dispatchItem(f.run), ItemOutcome::kDone);
  EXPECT_EQ(flagText(f.state.flags.IsAUGCollect), "Y");
  EXPECT_TRUE(f.db.statements.empty());
  EXPECT_EQ(f.traced("getMSSQLConnect"), 0);
}

TEST(InspectionDispatch, AFailedOpenEndsTheItemWithSqlFailForEitherType) {
  for (const char* type : {"4", "5"}) {
    for (const char* timeVersion : {"", "TV1"}) {
      ItemFixture f;
      f.run.inspection.server = f.db.path() + ".missing";
      f.setItem("I", "ITEM", type, {});
      f.state.timeVersionSysid = timeVersion;
      EXPECT_EQ(dispatchItem(f.run), ItemOutcome::kSqlFail) << type << " " << timeVersion;
      EXPECT_EQ(f.state.inspection, nullptr);
    }
  }
}

TEST(InspectionDispatch, AnUnreachableDatabaseEndsTheRunWithSqlFailAndNoRecords) {
  testing::CheckFixture f;
  testing::TempFolder folder;
  f.context->providers["SQLOLEDB.1"] = "sqlite";
  f.ini->values["MSSQL/ServerName"] = folder.file("inspection.db");
  f.station("IQC-1");
  f.timeVersion("TV1", "TA1");
  f.items({testing::itemRow("I3", "FAILCOUNT", "3"), testing::itemRow("I4", "AUG", "4"),
           testing::itemRow("I5", "LATER", "5")});
  EXPECT_EQ(f.check.Execute(), "SqlFail");
  // The item before the inspection item had its check; the one after it was never reached.
  EXPECT_EQ(f.mes->count("B.FAILCOUNT>0"), 1);
  EXPECT_EQ(f.mes->count("A.FLAG='1' OR A.FLAG='0'"), 0);
  EXPECT_EQ(f.check.IsAUGItem(), "Y");
  EXPECT_EQ(f.check.Count(), 0);
  EXPECT_EQ(f.check.LotDevReasons(), "");
  EXPECT_EQ(f.trace->entries.back(), "Abnormals.Execute: 0:");
}

}  // namespace
}  // namespace velmora
