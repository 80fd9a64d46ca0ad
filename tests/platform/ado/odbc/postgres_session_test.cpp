// The ODBC driver against a real PostgreSQL server holding the demo fab (see pg_server.hpp).
#include <gtest/gtest.h>

#include "support/failure.hpp"

#include <memory>
#include <string>
#include <vector>

#include "platform/ado/connection.hpp"
#include "platform/ado/odbc/odbc_driver.hpp"
#include "platform/ado/odbc/pg_server.hpp"
#include "platform/counters/counters.hpp"
#include "platform/sql/statement.hpp"
#include "velmora/error.hpp"

namespace velmora::ado {
namespace {

using velmora::testing::PgServerTest;

using velmora::testing::failureOf;

class OdbcPgSession : public PgServerTest {
 protected:
  void SetUp() override {
    PgServerTest::SetUp();
    if (IsSkipped()) return;
    session = openOdbcSession(server.mes, 5, 30);
  }

  // The first row's only field of `sql`.
  Variant scalar(const std::string& sql) {
    const auto rows = session->Execute(sql);
    EXPECT_FALSE(rows->Eof()) << sql;
    return rows->Eof() ? Variant() : rows->Fields(0);
  }

  std::unique_ptr<Session> session;
};

TEST_F(OdbcPgSession, ReportsTheDbmsName) {
  EXPECT_EQ(session->DbmsName(), "PostgreSQL");
}

TEST_F(OdbcPgSession, ValuesKeepTheirTypes) {
  const auto rows = session->Execute(
      "SELECT 42 i, CAST(2 AS SMALLINT) s, CAST(9000000000 AS BIGINT) b, "
      "CAST(1.5 AS DOUBLE PRECISION) d, CAST(2.5 AS REAL) r, CAST(400 AS NUMERIC) whole, "
      "CAST(97.50 AS NUMERIC(6,2)) frac, CAST(1910 AS NUMERIC) / 2000 * 100 quotient, "
      "CAST(-3.000 AS NUMERIC(5,3)) negative, 'text' t, DATE '2024-05-20' dt, '' empty, "
      "CAST(NULL AS TEXT) nt, CAST(NULL AS NUMERIC) nn, CAST(NULL AS INTEGER) ni");
  ASSERT_FALSE(rows->Eof());
  EXPECT_EQ(rows->Fields("i"), Variant(std::int64_t{42}));
  EXPECT_EQ(rows->Fields("s"), Variant(std::int64_t{2}));
  EXPECT_EQ(rows->Fields("b"), Variant(std::int64_t{9000000000}));
  EXPECT_EQ(rows->Fields("d"), Variant(1.5));
  EXPECT_EQ(rows->Fields("r"), Variant(2.5));
  EXPECT_EQ(rows->Fields("whole"), Variant(std::int64_t{400}));
  EXPECT_EQ(rows->Fields("frac"), Variant(97.5));
  EXPECT_EQ(rows->Fields("quotient"), Variant(95.5));  // no integer division on NUMERIC
  EXPECT_EQ(rows->Fields("negative"), Variant(std::int64_t{-3}));
  EXPECT_EQ(rows->Fields("t"), Variant("text"));
  EXPECT_EQ(rows->Fields("dt"), Variant("2024-05-20"));
  EXPECT_EQ(rows->Fields("empty"), Variant(""));
  for (const char* name : {"nt", "nn", "ni"}) EXPECT_TRUE(rows->Fields(name).isNull()) << name;
  rows->MoveNext();
  EXPECT_TRUE(rows->Eof());
}

TEST_F(OdbcPgSession, LongAndNonAsciiTextsComeInFull) {
  // Longer than any buffer the driver fills at once, with multi-byte characters across every
  // piece boundary.
  const std::string unit = "ab\xC3\xA9\xE6\xB8\xAC\xF0\x9F\x98\x80";  // a b é 測 😀
  std::string expected;
  for (int i = 0; i < 30000; ++i) expected += unit;
  EXPECT_EQ(scalar("SELECT repeat('" + unit + "', 30000)"), Variant(expected));
  EXPECT_EQ(scalar("SELECT 'Gr\xC3\xB6\xC3\x9F"
                   "e \xC2\xB5m'"),
            Variant("Gr\xC3\xB6\xC3\x9F"
                    "e \xC2\xB5m"));
}

TEST_F(OdbcPgSession, ColumnNamesAsReportedFoundInAnyCase) {
  // PostgreSQL folds the unquoted alias Defect to lower case, as Oracle folds it to upper.
  const auto rows = session->Execute("SELECT 1 Defect, 2 \"LotDie\"");
  ASSERT_EQ(rows->FieldCount(), 2);
  EXPECT_EQ(rows->FieldName(0), "defect");
  EXPECT_EQ(rows->FieldName(1), "LotDie");
  EXPECT_EQ(rows->Fields("Defect"), Variant(std::int64_t{1}));
  EXPECT_EQ(rows->Fields("DEFECT"), Variant(std::int64_t{1}));
  EXPECT_EQ(rows->Fields("lotdie"), Variant(std::int64_t{2}));
  EXPECT_EQ(failureOf([&] { rows->Fields("Missing"); }).number(), err::kItemNotFound);
}

TEST_F(OdbcPgSession, DecodeComesFromOrafce) {
  // The component's NULL-to-zero idiom with an untyped Null: orafce must be on the search path.
  EXPECT_EQ(scalar("SELECT DECODE(SUM(SAMPLESIZE),NULL,0,SUM(SAMPLESIZE)) SAMPLESIZE "
                   "FROM EDC_PRD_FAILCOUNT WHERE BASICDATASYSID='no such record'"),
            Variant(std::int64_t{0}));
  EXPECT_EQ(scalar("SELECT DECODE(SUM(SAMPLESIZE),NULL,0,SUM(SAMPLESIZE)) SAMPLESIZE "
                   "FROM EDC_PRD_FAILCOUNT WHERE BASICDATASYSID='BD-A01-F03'"),
            scalar("SELECT SUM(SAMPLESIZE) FROM EDC_PRD_FAILCOUNT "
                   "WHERE BASICDATASYSID='BD-A01-F03'"));
  EXPECT_EQ(scalar("SELECT DECODE(CAST('b' AS TEXT),'a',1,'b',2,3)"), Variant(std::int64_t{2}));
}

TEST_F(OdbcPgSession, OuterJoinMarkerIsRewritten) {
  // LOT-A06's only basic data has no fail counts: the outer join keeps it with a NULL side.
  const auto rows = session->Execute(
      "SELECT A.SYSID, B.WAFERSEQ FROM EDC_PRD_BASICDATA A,EDC_PRD_FAILCOUNT B "
      " WHERE A.TIMEVERSIONSYSID='TV-A06-FQC' AND A.SYSID=B.BASICDATASYSID(+) ");
  ASSERT_FALSE(rows->Eof());
  EXPECT_EQ(rows->Fields("SYSID"), Variant("BD-A06-F05"));
  EXPECT_TRUE(rows->Fields("WAFERSEQ").isNull());
  rows->MoveNext();
  EXPECT_TRUE(rows->Eof());
}

// A statement value's shape is translated and prepared once per session and its values bound,
// with the rows of its text, whatever the values hold (quotes, "%", "_", nothing) and however
// often it runs. The outer-join rewrite moves the last condition, and its value, before the
// others: the values must follow.
TEST_F(OdbcPgSession, StatementValuesAreBoundToOneShapePerSession) {
  auto statementOf = [](const std::string& timeVersion) {
    Statement sql(
        "SELECT A.SYSID, B.WAFERSEQ FROM EDC_PRD_BASICDATA A,EDC_PRD_FAILCOUNT B  WHERE ");
    sql.sql("A.TIMEVERSIONSYSID=").text(timeVersion).sql(" AND LENGTH(A.SYSID)>").number("0");
    sql.sql(" AND A.SYSID=B.BASICDATASYSID(+) AND B.VIOLATIONFLAG(+)=").text("Y");
    sql.sql(" ORDER BY 1, 2");
    return sql;
  };
  auto rowsOf = [](const std::shared_ptr<Recordset>& rs) {
    std::vector<std::string> rows;
    for (; !rs->Eof(); rs->MoveNext()) {
      rows.push_back(rs->Fields(0).toText() + ":" + rs->Fields(1).toText());
    }
    return rows;
  };
  const std::uint64_t before = databaseCounters().statementsPrepared;
  // More executions than PostgreSQL plans for their values before it may keep a generic plan,
  // which can return unordered rows in another order than the text (it reordered the reasons
  // of 7 of the 100-lot fab's lots in one batch): the session keeps a plan per value.
  const std::vector<std::string> values = {"TV-A06-FQC", "O'N%_", "TV-A0_-FQC", "TV-A06%",
                                           "TV-A06-FQC", "",      "TV-A06-FQC"};
  for (const std::string& value : values) {
    EXPECT_EQ(rowsOf(session->ExecuteStatement(statementOf(value))),
              rowsOf(session->Execute(statementOf(value).text())))
        << value;
  }
  EXPECT_EQ(rowsOf(session->ExecuteStatement(statementOf("TV-A06-FQC"))),
            std::vector<std::string>{"BD-A06-F05:"});
  // One preparation of the shape, one for each text.
  EXPECT_EQ(databaseCounters().statementsPrepared - before, 1 + values.size());
  EXPECT_EQ(scalar("SHOW plan_cache_mode"), Variant("force_custom_plan"));
}

TEST_F(OdbcPgSession, FailingStatementNamesSqlstateMessageAndStatement) {
  const AutomationError error =
      failureOf([&] { session->Execute("SELECT NOTHING FROM NO_SUCH_TABLE"); });
  EXPECT_NE(error.number(), 0);
  EXPECT_NE(error.description().find("SQLSTATE 42P01"), std::string::npos) << error.description();
  EXPECT_NE(error.description().find("no_such_table"), std::string::npos) << error.description();
  EXPECT_NE(error.description().find("statement: SELECT NOTHING FROM NO_SUCH_TABLE"),
            std::string::npos)
      << error.description();
  // The session goes on working.
  EXPECT_EQ(scalar("SELECT 7"), Variant(std::int64_t{7}));
}

// A server's data exception is unfit data; a missing table, and a statement that runs past the
// query timeout, mean the database could not answer.
TEST_F(OdbcPgSession, FailuresAreMarkedAndTheQueryTimeoutHolds) {
  const std::unique_ptr<Session> impatient = openOdbcSession(server.mes, 5, 1);
  struct Case {
    Session& session;
    const char* sql;
    FailureKind kind;
    std::vector<const char*> states;  // one of them
  };
  const Case cases[] = {
      {*session, "SELECT 1/0", FailureKind::kUnfitData, {"22012"}},
      {*session,
       "SELECT COUNT(*) FROM EDC_PRD_FAILCOUNT WHERE FAILCOUNT = 'x'",
       FailureKind::kUnfitData,
       {"22P02"}},
      {*session, "SELECT X FROM NO_SUCH_TABLE", FailureKind::kNoAnswer, {"42P01"}},
      {*impatient, "SELECT pg_sleep(5)", FailureKind::kNoAnswer, {"57014", "HYT00"}},
  };
  for (const Case& c : cases) {
    const AutomationError error = failureOf([&] { c.session.Execute(c.sql); });
    EXPECT_EQ(error.kind(), c.kind) << c.sql << ": " << error.description();
    bool named = false;
    for (const char* state : c.states) {
      named =
          named || error.description().find(std::string("SQLSTATE ") + state) != std::string::npos;
    }
    EXPECT_TRUE(named) << c.sql << ": " << error.description();
  }
  EXPECT_EQ(scalar("SELECT 7"), Variant(std::int64_t{7}));
}

class OdbcPgLogin : public PgServerTest {};

TEST_F(OdbcPgLogin, WrongPasswordFailsWithoutShowingIt) {
  const std::string wrong = "wrong-" + server.password;
  std::string text = server.mes;
  text.replace(text.find(server.password), server.password.size(), wrong);
  const AutomationError error = failureOf([&] { openOdbcSession(text, 5, 30); });
  EXPECT_NE(error.description().find("SQLSTATE"), std::string::npos) << error.description();
  EXPECT_NE(error.description().find("UID=velmora"), std::string::npos) << error.description();
  EXPECT_EQ(error.description().find(wrong), std::string::npos) << error.description();
  EXPECT_EQ(error.description().find(server.password), std::string::npos) << error.description();
}

class OdbcPgProvider : public PgServerTest {};

TEST_F(OdbcPgProvider, PasswordWithSemicolonAndBracesKeepsItsMeaning) {
  if (server.oddUser.empty()) GTEST_SKIP() << "no role with an odd password configured";
  const std::string attributes = "odbc:Driver={" + server.driver + "};Port=" + server.port;
  // Given separately to Open, and written in OLE DB quotes inside the connection string.
  for (const bool quoted : {false, true}) {
    Connection connection(ProviderMap{{"SQLOLEDB.1", attributes}});
    connection.ConnectionTimeout = 3;
    connection.Provider = "SQLOLEDB.1";
    std::string text = "Data Source=127.0.0.1;User Id=" + server.oddUser + ";Initial Catalog=mes;";
    if (quoted) {
      text += "Password=\"" + server.oddPassword + "\";";
      connection.Open(text);
    } else {
      connection.Open(text, "", server.oddPassword);
    }
    const auto rows = connection.Execute("SELECT current_user");
    ASSERT_FALSE(rows->Eof());
    EXPECT_EQ(rows->Fields(0), Variant(server.oddUser)) << (quoted ? "quoted" : "separate");
  }
}

}  // namespace
}  // namespace velmora::ado
