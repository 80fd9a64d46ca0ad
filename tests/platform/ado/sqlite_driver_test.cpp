#include <gtest/gtest.h>

#include <sqlite3.h>
#include "support/failure.hpp"

#include <chrono>
#include <filesystem>
#include <map>
#include <vector>

#include "platform/ado/connection.hpp"
#include "platform/counters/counters.hpp"
#include "platform/sql/statement.hpp"
#include "support/temp_sqlite.hpp"
#include "velmora/error.hpp"

namespace velmora::ado {
namespace {

using velmora::testing::makeDatabase;
using velmora::testing::readBytes;
using velmora::testing::TempFolder;

std::shared_ptr<Connection> openSqlite(const std::string& path, long busyTimeout = 15) {
  auto connection = std::make_shared<Connection>();
  connection->Provider = "sqlite";
  connection->BusyTimeout = busyTimeout;
  connection->Open("Data Source=" + path + ";");
  return connection;
}

// Runs `sql` and returns the failure it raises (the test fails when it raises none).
AutomationError failureOf(Connection& connection, const std::string& sql) {
  return velmora::testing::failureOf([&] { connection.Execute(sql); });
}

class SqliteDriver : public ::testing::Test {
 protected:
  void SetUp() override {
    db = folder.file("test.db");
    makeDatabase(db,
                 "CREATE TABLE T (I INTEGER, R REAL, S TEXT, N TEXT, B BLOB);"
                 "INSERT INTO T VALUES (42, 97.5, 'abc', NULL, x'68656C6C6F');"
                 "INSERT INTO T VALUES (-7, 100.0, '', NULL, NULL);"
                 "CREATE TABLE V (K TEXT, X REAL);"
                 "INSERT INTO V VALUES ('a', 1), ('b', NULL), ('c', 2.5);");
  }

  TempFolder folder;
  std::string db;
};

TEST_F(SqliteDriver, ValuesKeepTheirTypes) {
  auto connection = openSqlite(db);
  EXPECT_EQ(connection->session().DbmsName(), "SQLite");
  auto rows = connection->Execute("SELECT I, R, S, N, B FROM T ORDER BY I DESC");
  ASSERT_FALSE(rows->Eof());
  EXPECT_EQ(rows->Fields("I"), Variant(std::int64_t{42}));
  EXPECT_EQ(rows->Fields("I").type(), Variant::Type::Integer);
  EXPECT_EQ(rows->Fields("R"), Variant(97.5));
  EXPECT_EQ(rows->Fields("S"), Variant("abc"));
  EXPECT_TRUE(rows->Fields("N").isNull());
  EXPECT_EQ(rows->Fields("B"), Variant("hello"));
  rows->MoveNext();
  ASSERT_FALSE(rows->Eof());
  EXPECT_EQ(rows->Fields(0), Variant(std::int64_t{-7}));
  EXPECT_EQ(rows->Fields(1).type(), Variant::Type::Double);
  EXPECT_EQ(rows->Fields(1).toText(), "100");
  EXPECT_EQ(rows->Fields(2), Variant(""));
  EXPECT_TRUE(rows->Fields(4).isNull());
  rows->MoveNext();
  EXPECT_TRUE(rows->Eof());
  try {
    rows->Fields("I");
    FAIL() << "reading at the end must fail";
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), err::kNoCurrentRecord);
  }
  try {
    rows->MoveNext();
    FAIL() << "moving past the end must fail";
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), err::kNoCurrentRecord);
  }
}

TEST_F(SqliteDriver, FieldNamesAreTheStatementsAndCompareWithoutCase) {
  auto connection = openSqlite(db);
  auto rows = connection->Execute("SELECT T.I, S AS Defect, COUNT(*) FROM T WHERE I = 42");
  ASSERT_EQ(rows->FieldCount(), 3);
  EXPECT_EQ(rows->FieldName(0), "I");
  EXPECT_EQ(rows->FieldName(1), "Defect");
  EXPECT_EQ(rows->FieldName(2), "COUNT(*)");
  EXPECT_EQ(rows->Fields("DEFECT"), Variant("abc"));
  EXPECT_EQ(rows->Fields("defect"), Variant("abc"));
  EXPECT_EQ(rows->Fields("i"), Variant(std::int64_t{42}));
  try {
    rows->Fields("NOSUCH");
    FAIL() << "an unknown field must fail";
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), err::kItemNotFound);
  }
}

TEST_F(SqliteDriver, EmptyResultIsAtEofWithItsColumns) {
  auto connection = openSqlite(db);
  auto rows = connection->Execute("SELECT I, S FROM T WHERE 1 = 0");
  EXPECT_TRUE(rows->Eof());
  EXPECT_EQ(rows->FieldCount(), 2);
  EXPECT_EQ(rows->FieldName(1), "S");
}

TEST_F(SqliteDriver, RecordSetOutlivesItsConnection) {
  std::shared_ptr<Recordset> rows;
  {
    auto connection = openSqlite(db);
    rows = connection->Execute("SELECT K FROM V ORDER BY K");
  }
  ASSERT_FALSE(rows->Eof());
  EXPECT_EQ(rows->Fields("K"), Variant("a"));
  rows->MoveNext();
  rows->MoveNext();
  EXPECT_EQ(rows->Fields("K"), Variant("c"));
  rows->MoveNext();
  EXPECT_TRUE(rows->Eof());
}

TEST_F(SqliteDriver, DecodeFollowsOracle) {
  auto connection = openSqlite(db);
  auto value = [&](const std::string& expression) {
    auto rows = connection->Execute("SELECT " + expression);
    return rows->Fields(0);
  };
  EXPECT_EQ(value("DECODE(2, 1, 'one', 2, 'two', 'other')"), Variant("two"));
  EXPECT_EQ(value("DECODE(3, 1, 'one', 2, 'two', 'other')"), Variant("other"));
  EXPECT_TRUE(value("DECODE(3, 1, 'one', 2, 'two')").isNull());
  // NULL matches NULL, and only NULL.
  EXPECT_EQ(value("DECODE(NULL, NULL, 0, 5)"), Variant(std::int64_t{0}));
  EXPECT_EQ(value("DECODE(7, NULL, 0, 7)"), Variant(std::int64_t{7}));
  EXPECT_EQ(value("DECODE(NULL, 0, 'zero', '', 'empty', 'default')"), Variant("default"));
  // Numbers compare as numbers, texts as texts.
  EXPECT_EQ(value("DECODE(2.0, 2, 'yes', 'no')"), Variant("yes"));
  EXPECT_EQ(value("DECODE(2, '2.0', 'yes', 'no')"), Variant("yes"));
  EXPECT_EQ(value("DECODE('2', '2.0', 'yes', 'no')"), Variant("no"));
  EXPECT_EQ(value("DECODE('abc', 'ABC', 'upper', 'abc', 'lower')"), Variant("lower"));
  EXPECT_EQ(value("DECODE(1, 'x', 'text', 'none')"), Variant("none"));
  // The result keeps its type; the first match wins.
  EXPECT_EQ(value("DECODE(1, 1, 2.5, 1, 'later')"), Variant(2.5));
  // Function names are case-insensitive, as in the component's "Decode(Sum(...),Null,0,...)".
  EXPECT_EQ(value("Decode(Sum(X),Null,0,Sum(X)) FROM V WHERE K = 'b'"), Variant(std::int64_t{0}));
  EXPECT_EQ(value("Decode(Sum(X),Null,0,Sum(X)) FROM V"), Variant(3.5));
  const AutomationError error = failureOf(*connection, "SELECT DECODE(1, 2)");
  EXPECT_NE(error.description().find("DECODE"), std::string::npos) << error.description();
}

TEST_F(SqliteDriver, ComponentOuterJoinStatementRuns) {
  makeDatabase(db,
               "CREATE TABLE EDC_PRD_BASICDATA (SYSID TEXT, TIMEVERSIONSYSID TEXT, "
               "EDCITEMSYSID TEXT, EQPID TEXT, FLAG TEXT);"
               "CREATE TABLE EDC_PRD_FAILCOUNT (SYSID TEXT, BASICDATASYSID TEXT, "
               "VIOLATIONFLAG TEXT, SAMPLESIZE REAL, FAILCOUNT REAL, WAFERSEQ INTEGER);"
               "INSERT INTO EDC_PRD_BASICDATA VALUES ('BD1','TV1','I1','EQ1','1'),"
               "  ('BD2','TV1','I1','EQ2','0'), ('BD3','TV1','I1','EQ3','2'),"
               "  ('BD4','TV2','I1','EQ4','1');"
               "INSERT INTO EDC_PRD_FAILCOUNT VALUES ('FC1','BD1','Y',200,5,3),"
               "  ('FC4','BD4','N',100,1,1);");
  auto connection = openSqlite(db);
  auto rows = connection->Execute(
      "SELECT A.EQPID,A.SYSID BASICDATASYSID,B.SYSID FAILCOUNTSYSID,B.VIOLATIONFLAG, "
      "ROUND((B.SAMPLESIZE - B.FAILCOUNT ) / B.SAMPLESIZE * 100,2) WAFERYIELD,B.WAFERSEQ,A.FLAG  "
      "FROM EDC_PRD_BASICDATA A,EDC_PRD_FAILCOUNT B  WHERE A.TIMEVERSIONSYSID='TV1'  AND "
      "A.EDCITEMSYSID='I1'  AND (A.FLAG='1' OR A.FLAG='0') AND A.SYSID=B.BASICDATASYSID(+) ");
  std::map<std::string, std::vector<Variant>> byBasicData;
  for (; !rows->Eof(); rows->MoveNext()) {
    byBasicData[rows->Fields("BASICDATASYSID").toText()] = {
        rows->Fields("EQPID"),      rows->Fields("FAILCOUNTSYSID"), rows->Fields("VIOLATIONFLAG"),
        rows->Fields("WAFERYIELD"), rows->Fields("WAFERSEQ"),       rows->Fields("FLAG")};
  }
  ASSERT_EQ(byBasicData.size(), 2u);
  const auto& matched = byBasicData.at("BD1");
  EXPECT_EQ(matched[0], Variant("EQ1"));
  EXPECT_EQ(matched[1], Variant("FC1"));
  EXPECT_EQ(matched[2], Variant("Y"));
  EXPECT_EQ(matched[3], Variant(97.5));
  EXPECT_EQ(matched[4], Variant(std::int64_t{3}));
  const auto& unmatched = byBasicData.at("BD2");
  EXPECT_EQ(unmatched[0], Variant("EQ2"));
  EXPECT_TRUE(unmatched[1].isNull());
  EXPECT_TRUE(unmatched[2].isNull());
  EXPECT_TRUE(unmatched[3].isNull());
  EXPECT_TRUE(unmatched[4].isNull());
  EXPECT_EQ(unmatched[5], Variant("0"));
}

// A statement value's shape is prepared once per connection and its values bound, with the
// results of its text; with BindValues off every statement is prepared as text. The values hold
// quotes, "%" and "_" (matched as themselves), numbers as written, and a condition that the
// outer-join rewrite moves before the others (the markers are numbered, so no value moves).
TEST_F(SqliteDriver, StatementValuesAreBoundToOneShapePerConnection) {
  makeDatabase(db,
               "CREATE TABLE A (SYSID TEXT, NAME TEXT, N INTEGER);"
               "CREATE TABLE B (ASYSID TEXT, FLAG TEXT);"
               "INSERT INTO A VALUES ('1', 'O''N%_', 42), ('2', 'O''Nab', 7), ('3', 'x', -7);"
               "INSERT INTO B VALUES ('1', 'Y'), ('2', 'N');");
  struct Case {
    std::string name;
    std::string number;
    std::string text;  // the statement as sent
    std::vector<std::string> rows;
  };
  const std::vector<Case> cases = {
      {"O'N%_",
       "42",
       "SELECT A.SYSID, B.FLAG FROM A, B WHERE A.NAME='O''N%_' AND A.N=42 AND "
       "A.SYSID=B.ASYSID(+) AND B.FLAG(+)='Y'",
       {"1:Y"}},
      {"O'Nab",
       "+7",
       "SELECT A.SYSID, B.FLAG FROM A, B WHERE A.NAME='O''Nab' AND A.N=+7 AND "
       "A.SYSID=B.ASYSID(+) AND B.FLAG(+)='Y'",
       {"2:"}},
      {"O'N__", "42", "", {}},
      {"x", "-7", "", {"3:"}},
      {"x", "-7.0", "", {"3:"}},
  };
  auto statementOf = [](const Case& c) {
    Statement sql("SELECT A.SYSID, B.FLAG FROM A, B WHERE A.NAME=");
    sql.text(c.name).sql(" AND A.N=").number(c.number);
    sql.sql(" AND A.SYSID=B.ASYSID(+) AND B.FLAG(+)=").text("Y");
    return sql;
  };
  for (const bool bind : {true, false}) {
    auto connection = openSqlite(db);
    connection->BindValues = bind;
    const std::uint64_t before = databaseCounters().statementsPrepared;
    for (const Case& c : cases) {
      const Statement sql = statementOf(c);
      if (!c.text.empty()) {
        EXPECT_EQ(sql.text(), c.text);
      }
      std::vector<std::string> rows;
      for (auto rs = connection->ExecuteStatement(sql); !rs->Eof(); rs->MoveNext()) {
        rows.push_back(rs->Fields("SYSID").toText() + ":" + rs->Fields("FLAG").toText());
      }
      EXPECT_EQ(rows, c.rows) << c.name << " " << c.number << (bind ? " bound" : " as text");
    }
    EXPECT_EQ(databaseCounters().statementsPrepared - before, bind ? 1u : cases.size());
  }
}

TEST_F(SqliteDriver, OpensReadOnly) {
  const std::string before = readBytes(db);
  {
    auto connection = openSqlite(db);
    for (const std::string sql :
         {"INSERT INTO T (I) VALUES (1)", "UPDATE T SET I = 0", "DELETE FROM T",
          "CREATE TABLE W (A)", "DROP TABLE T", "PRAGMA user_version = 5"}) {
      const AutomationError error = failureOf(*connection, sql);
      EXPECT_EQ(error.number() & 0xff, SQLITE_READONLY) << sql << ": " << error.description();
      EXPECT_NE(error.description().find("readonly"), std::string::npos) << error.description();
    }
  }
  EXPECT_EQ(readBytes(db), before);
}

TEST_F(SqliteDriver, MissingFileIsAFailureNamingItAndCreatesNothing) {
  const std::string missing = folder.file("absent.db");
  try {
    openSqlite(missing);
    FAIL() << "opening a missing file must fail";
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), SQLITE_CANTOPEN);
    EXPECT_NE(error.description().find(missing), std::string::npos) << error.description();
  }
  EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(SqliteDriver, FileThatIsNoDatabaseFailsAtOpen) {
  const std::string text = folder.file("notes.txt");
  velmora::testing::writeText(text, std::string(2048, 'x'));
  try {
    openSqlite(text);
    FAIL() << "opening a text file must fail";
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), SQLITE_NOTADB);
    EXPECT_NE(error.description().find(text), std::string::npos) << error.description();
  }
}

TEST_F(SqliteDriver, FailingStatementCarriesSqlitesMessageAndTheStatement) {
  auto connection = openSqlite(db);
  const std::string sql = "SELECT X FROM NO_SUCH_TABLE WHERE A='1' ";
  const AutomationError error = failureOf(*connection, sql);
  EXPECT_EQ(error.number(), SQLITE_ERROR);
  EXPECT_EQ(error.kind(), FailureKind::kNoAnswer);
  EXPECT_NE(error.description().find("no such table: NO_SUCH_TABLE"), std::string::npos)
      << error.description();
  EXPECT_NE(error.description().find(sql), std::string::npos) << error.description();

  const AutomationError rewritten =
      failureOf(*connection, "SELECT A.Q FROM T A, V B WHERE A.S=B.K(+)");
  EXPECT_NE(rewritten.description().find("no such column: A.Q"), std::string::npos);
  EXPECT_NE(rewritten.description().find("LEFT JOIN V B ON A.S=B.K"), std::string::npos)
      << rewritten.description();
}

TEST_F(SqliteDriver, OneStatementPerCall) {
  auto connection = openSqlite(db);
  EXPECT_FALSE(connection->Execute("SELECT 1; -- done\n ;")->Eof());
  const AutomationError error = failureOf(*connection, "SELECT 1; SELECT 2");
  EXPECT_EQ(error.number(), err::kGenericFailure);
  EXPECT_EQ(failureOf(*connection, "  ").number(), err::kGenericFailure);
}

TEST_F(SqliteDriver, BusyTimeoutBoundsTheWaitForALock) {
  auto connection = openSqlite(db, 1);
  sqlite3* writer = nullptr;
  ASSERT_EQ(sqlite3_open(db.c_str(), &writer), SQLITE_OK);
  ASSERT_EQ(
      sqlite3_exec(writer, "BEGIN EXCLUSIVE; UPDATE T SET I = I + 1;", nullptr, nullptr, nullptr),
      SQLITE_OK);
  const auto start = std::chrono::steady_clock::now();
  const AutomationError error = failureOf(*connection, "SELECT COUNT(*) FROM T");
  const auto waited = std::chrono::steady_clock::now() - start;
  sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(writer);
  EXPECT_EQ(error.number() & 0xff, SQLITE_BUSY) << error.description();
  EXPECT_EQ(error.kind(), FailureKind::kNoAnswer);
  EXPECT_GE(waited, std::chrono::milliseconds(900));
  EXPECT_LT(waited, std::chrono::seconds(10));
}

}  // namespace
}  // namespace velmora::ado
