#include <gtest/gtest.h>

#include "support/failure.hpp"

#include <filesystem>

#include "support/temp_sqlite.hpp"
#include "velmora/client.hpp"
#include "velmora/error.hpp"

namespace velmora {
namespace {

using velmora::testing::makeDatabase;
using velmora::testing::readBytes;
using velmora::testing::TempFolder;

using velmora::testing::failureOf;

class MesDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    makeDatabase(home.file("mes.db"),
                 "CREATE TABLE MES_LOT_WAFERID (LOTID TEXT, SEQ INTEGER, WAFERID TEXT);"
                 "INSERT INTO MES_LOT_WAFERID VALUES ('L1', 1, 'W01'), ('L1', 2, 'W02'),"
                 "  ('L2', 1, 'W11');");
  }
  TempFolder home;
};

TEST_F(MesDatabaseTest, SelectRecordsStatementText) {
  EXPECT_EQ(selectRecordsStatement("MES_LOT_WAFERID ", "WAFERID", "LOTID = 'L1' ", ""),
            "SELECT WAFERID FROM MES_LOT_WAFERID  WHERE LOTID = 'L1' ");
  EXPECT_EQ(selectRecordsStatement("T", "A, B", "X = '1' ", "ORDER BY A"),
            "SELECT A, B FROM T WHERE X = '1'  ORDER BY A");
}

TEST_F(MesDatabaseTest, SelectRecordsRunsExactlyThatStatement) {
  const auto mes = openMesDatabase("sqlite:mes.db", home.path().string());
  auto rows = mes->SelectRecords("MES_LOT_WAFERID ", "WAFERID", "LOTID = 'L1' AND SEQ = '2' ", "");
  ASSERT_FALSE(rows->Eof());
  EXPECT_EQ(rows->Fields("WAFERID"), Variant("W02"));
  rows->MoveNext();
  EXPECT_TRUE(rows->Eof());

  rows = mes->SelectRecords("MES_LOT_WAFERID", "WAFERID", "LOTID = 'L1' ", "ORDER BY SEQ DESC");
  EXPECT_EQ(rows->Fields("WAFERID"), Variant("W02"));

  // The failure carries the statement as sent, which shows its exact text.
  const AutomationError error =
      failureOf([&] { mes->SelectRecords("NO_TABLE ", "A,B", "C = '1' ", ""); });
  EXPECT_NE(error.description().find("(statement: SELECT A,B FROM NO_TABLE  WHERE C = '1' )"),
            std::string::npos)
      << error.description();
  const AutomationError withExtra =
      failureOf([&] { mes->SelectRecords("NO_TABLE", "A", "C = '1' ", "ORDER BY A"); });
  EXPECT_NE(
      withExtra.description().find("(statement: SELECT A FROM NO_TABLE WHERE C = '1'  ORDER BY A)"),
      std::string::npos)
      << withExtra.description();
}

TEST_F(MesDatabaseTest, ExecuteQueryRunsTheText) {
  const auto mes = openMesDatabase("sqlite:" + home.file("mes.db"), "/elsewhere");
  auto rows = mes->ExecuteQuery("SELECT COUNT(*) N FROM MES_LOT_WAFERID WHERE LOTID='L1'");
  EXPECT_EQ(rows->Fields("n"), Variant(std::int64_t{2}));
}

TEST_F(MesDatabaseTest, DatabaseIsReadOnly) {
  const std::string before = readBytes(home.file("mes.db"));
  const auto mes = openMesDatabase("SQLITE:mes.db", home.path().string());
  failureOf([&] { mes->ExecuteQuery("DELETE FROM MES_LOT_WAFERID"); });
  EXPECT_EQ(readBytes(home.file("mes.db")), before);
}

TEST_F(MesDatabaseTest, MissingFileFailsNamingIt) {
  const AutomationError error =
      failureOf([&] { openMesDatabase("sqlite:absent.db", home.path().string()); });
  EXPECT_NE(error.description().find(home.file("absent.db")), std::string::npos)
      << error.description();
  EXPECT_FALSE(std::filesystem::exists(home.file("absent.db")));
}

TEST_F(MesDatabaseTest, BadUriFailsNamingIt) {
  for (const std::string uri : {"mysql://host/mes", "mes.db", "sqlite:", "odbc: "}) {
    const AutomationError error = failureOf([&] { openMesDatabase(uri, home.path().string()); });
    EXPECT_EQ(error.number(), err::kInvalidCall) << uri;
    EXPECT_NE(error.description().find("'" + uri + "'"), std::string::npos) << error.description();
  }
  const AutomationError masked =
      failureOf([&] { openMesDatabase("oracle:DSN=mes;PWD=secret;UID=u", ""); });
  EXPECT_EQ(masked.description().find("secret"), std::string::npos) << masked.description();
  const AutomationError braced =
      failureOf([&] { openMesDatabase("oracle:DSN=mes;PWD={se;cr}}et};UID=u", ""); });
  EXPECT_EQ(braced.description().find("cr"), std::string::npos) << braced.description();
  EXPECT_NE(braced.description().find("PWD=***;UID=u"), std::string::npos) << braced.description();
  // An unbraced ";" in a password leaves a text that cannot be read: no part of it is shown.
  const AutomationError unreadable =
      failureOf([&] { openMesDatabase("oracle:DSN=mes;PWD=se;cret;UID=u", ""); });
  EXPECT_EQ(unreadable.description().find("cret"), std::string::npos) << unreadable.description();
}

TEST_F(MesDatabaseTest, OdbcGoesToTheOdbcDriver) {
  // No such data source: the ODBC driver's failure (or its absence), without the password.
  const AutomationError error =
      failureOf([&] { openMesDatabase("odbc:DSN=velmora-no-such-dsn;UID=mes;PWD=secret", ""); });
  EXPECT_EQ(error.description().find("Provider cannot be found"), std::string::npos)
      << error.description();
  EXPECT_EQ(error.description().find("secret"), std::string::npos) << error.description();
}

}  // namespace
}  // namespace velmora
