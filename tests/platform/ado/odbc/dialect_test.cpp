#include "platform/ado/odbc/dialect.hpp"

#include <gtest/gtest.h>

namespace velmora::ado::odbc {
namespace {

TEST(OdbcDialect, RecognisesOracle) {
  EXPECT_TRUE(isOracle("Oracle"));
  EXPECT_TRUE(isOracle("ORACLE"));
  EXPECT_FALSE(isOracle("PostgreSQL"));
  EXPECT_FALSE(isOracle("Microsoft SQL Server"));
  EXPECT_FALSE(isOracle(""));
}

TEST(OdbcDialect, LotDieStatementGetsAnAlias) {
  // The component's lot-die count: a derived table without an alias at the end of the text.
  const std::string sql =
      "SELECT Decode(Sum(Die1+Die2),Null,0,Sum(Die1+Die2)) LotDie "
      " FROM (SELECT a.SampleSize Die1, b.SampleSize Die2 "
      " FROM EDC_Prd_FailCount a, EDC_Prd_FailCount_Site b "
      " WHERE a.BasicDataSysId='BD1'  AND a.SysId=b.FailCountSysId "
      " GROUP BY a.WaferSeq,a.SampleSize,b.SampleSize ) ";
  const std::string expected =
      "SELECT Decode(Sum(Die1+Die2),Null,0,Sum(Die1+Die2)) LotDie "
      " FROM (SELECT a.SampleSize Die1, b.SampleSize Die2 "
      " FROM EDC_Prd_FailCount a, EDC_Prd_FailCount_Site b "
      " WHERE a.BasicDataSysId='BD1'  AND a.SysId=b.FailCountSysId "
      " GROUP BY a.WaferSeq,a.SampleSize,b.SampleSize ) velmora_dt1 ";
  EXPECT_EQ(aliasDerivedTables(sql), expected);
}

TEST(OdbcDialect, AliasesOnlyUnaliasedTablesInFromLists) {
  EXPECT_EQ(aliasDerivedTables("SELECT * FROM (SELECT 1 x) WHERE x=1"),
            "SELECT * FROM (SELECT 1 x) velmora_dt1 WHERE x=1");
  EXPECT_EQ(aliasDerivedTables("SELECT * FROM t, (SELECT 1 x),(select 2 y)"),
            "SELECT * FROM t, (SELECT 1 x) velmora_dt1,(select 2 y) velmora_dt2");
  EXPECT_EQ(aliasDerivedTables("SELECT * FROM t JOIN (SELECT k FROM u) ON t.k=1"),
            "SELECT * FROM t JOIN (SELECT k FROM u) velmora_dt1 ON t.k=1");
  // Nested: the inner table is numbered first, as its ")" comes first.
  EXPECT_EQ(aliasDerivedTables("SELECT * FROM (SELECT * FROM (SELECT 1 a))"),
            "SELECT * FROM (SELECT * FROM (SELECT 1 a) velmora_dt1) velmora_dt2");
}

TEST(OdbcDialect, LeavesEverythingElseByteIdentical) {
  for (const std::string sql : {
           "SELECT * FROM (SELECT 1 x) d WHERE x=1", "SELECT * FROM (SELECT 1 x) AS d",
           "SELECT (SELECT 1) one, (SELECT 2) two FROM t",
           "SELECT a FROM t WHERE a IN (SELECT b FROM u) AND c=(SELECT 1)",
           "SELECT COUNT(*) FROM AUGUSTLOTDATA WHERE RUNCARD='x' ",
           "SELECT 'FROM (SELECT 1)' FROM t", "SELECT a FROM t -- FROM (SELECT 1)\n",
           "SELECT a FROM t /* FROM (SELECT 1) */", "SELECT a, SUM(b) FROM t GROUP BY a ORDER BY a",
           "SELECT * FROM f(1, 2)",
           "SELECT 1) FROM (",  // unbalanced: left to the database
       }) {
    EXPECT_EQ(aliasDerivedTables(sql), sql);
  }
}

TEST(OdbcDialect, NonOracleStatementRewritesOuterJoinsToo) {
  const std::string sql =
      "SELECT A.SYSID, B.WAFERSEQ FROM EDC_PRD_BASICDATA A,EDC_PRD_FAILCOUNT B "
      "WHERE A.FLAG='1' AND A.SYSID=B.BASICDATASYSID(+) ";
  const std::string run = nonOracleStatement(sql);
  EXPECT_EQ(run.find("(+)"), std::string::npos) << run;
  EXPECT_NE(run.find("LEFT JOIN EDC_PRD_FAILCOUNT B ON A.SYSID=B.BASICDATASYSID"),
            std::string::npos)
      << run;
  EXPECT_NE(run.find("WHERE A.FLAG='1'"), std::string::npos) << run;
}

}  // namespace
}  // namespace velmora::ado::odbc
