#include "platform/ado/outer_join.hpp"

#include <gtest/gtest.h>

namespace velmora::ado {
namespace {

// The statement of the fail-count check over flagged and unflagged data.
const std::string kComponentStatement =
    "SELECT A.EQPID,A.SYSID BASICDATASYSID,B.SYSID FAILCOUNTSYSID,B.VIOLATIONFLAG, "
    "ROUND((B.SAMPLESIZE - B.FAILCOUNT ) / B.SAMPLESIZE * 100,2) WAFERYIELD,B.WAFERSEQ,A.FLAG  "
    "FROM EDC_PRD_BASICDATA A,EDC_PRD_FAILCOUNT B  WHERE A.TIMEVERSIONSYSID='TV1'  AND "
    "A.EDCITEMSYSID='I1'  AND (A.FLAG='1' OR A.FLAG='0') AND A.SYSID=B.BASICDATASYSID(+) ";

TEST(OuterJoinRewrite, ComponentStatementBecomesLeftJoin) {
  EXPECT_EQ(rewriteOuterJoins(kComponentStatement),
            "SELECT A.EQPID,A.SYSID BASICDATASYSID,B.SYSID FAILCOUNTSYSID,B.VIOLATIONFLAG, "
            "ROUND((B.SAMPLESIZE - B.FAILCOUNT ) / B.SAMPLESIZE * 100,2) WAFERYIELD,B.WAFERSEQ,"
            "A.FLAG  FROM EDC_PRD_BASICDATA A LEFT JOIN EDC_PRD_FAILCOUNT B ON "
            "A.SYSID=B.BASICDATASYSID WHERE A.TIMEVERSIONSYSID='TV1' AND A.EDCITEMSYSID='I1' AND "
            "(A.FLAG='1' OR A.FLAG='0') ");
}

TEST(OuterJoinRewrite, StatementsWithoutMarkerPassByteIdentical) {
  const std::string statements[] = {
      "",
      "SELECT B.STATION FROM PARM_STEP_INFO A,PARM_STEP_STATION B  WHERE A.STEPID='S1' AND "
      "A.SYSID=B.STEPSYSID AND B.STATIONTYPE='OP' ",
      "SELECT Decode(Sum(Die1+Die2),Null,0,Sum(Die1+Die2)) LotDie  FROM (SELECT a.SampleSize "
      "Die1, b.SampleSize Die2  FROM EDC_Prd_FailCount a, EDC_Prd_FailCount_Site b  WHERE "
      "a.BasicDataSysId='X'  AND a.SysId=b.FailCountSysId  GROUP BY "
      "a.WaferSeq,a.SampleSize,b.SampleSize ) ",
      "  select a+b ,\n\t'x' || \"y\"  from t where a = +1 or b=(+2) -- (+)\n",
      "SELECT A FROM T WHERE A='(+)' AND B=\"(+)\" /* (+) */",
      "SELECT A.X FROM A,B WHERE A.X=B.X(+ 1)",
  };
  for (const std::string& sql : statements) EXPECT_EQ(rewriteOuterJoins(sql), sql);
}

TEST(OuterJoinRewrite, MarkerOnEitherSideAndWithBlanks) {
  EXPECT_EQ(rewriteOuterJoins("SELECT * FROM A, B WHERE B.Y ( + ) = A.X"),
            "SELECT * FROM A LEFT JOIN B ON B.Y = A.X");
}

TEST(OuterJoinRewrite, TokensAroundARemovedMarkerOrMovedTermStayApart) {
  struct Case {
    const char* sql;
    const char* rewritten;
  };
  const Case cases[] = {
      // the column and the word after the marker ("B.KIS")
      {"SELECT * FROM A,B WHERE B.K(+)IS NULL", "SELECT * FROM A LEFT JOIN B ON B.K IS NULL"},
      // two quoted names (one name with a doubled quote)
      {"SELECT * FROM A,B WHERE A.K=B.\"K\"(+)\"X\"",
       "SELECT * FROM A LEFT JOIN B ON A.K=B.\"K\" \"X\""},
      // the clause after the WHERE clause and the term now written last ("B.KGROUP", "1ORDER")
      {"SELECT * FROM A,B WHERE A.K=B.K(+)GROUP BY A.K",
       "SELECT * FROM A LEFT JOIN B ON A.K=B.K GROUP BY A.K"},
      {"SELECT * FROM A,B WHERE A.V=1 AND A.K=B.K(+)ORDER BY A.K",
       "SELECT * FROM A LEFT JOIN B ON A.K=B.K WHERE A.V=1 ORDER BY A.K"},
      // the block and the set operator after it ("B.KUNION")
      {"SELECT * FROM A,B WHERE A.K=B.K ( + )UNION SELECT * FROM C",
       "SELECT * FROM A LEFT JOIN B ON A.K=B.K UNION SELECT * FROM C"},
      // a line comment before the marker keeps the line end that closes it
      {"SELECT * FROM A,B WHERE A.K=B.K --key\n(+) AND A.V=1",
       "SELECT * FROM A LEFT JOIN B ON A.K=B.K --key\n WHERE A.V=1"},
  };
  for (const Case& c : cases) EXPECT_EQ(rewriteOuterJoins(c.sql), c.rewritten) << c.sql;
}

TEST(OuterJoinRewrite, AllMarkedTermsOfATableFormItsOnCondition) {
  EXPECT_EQ(
      rewriteOuterJoins("SELECT * FROM A,B WHERE A.K=B.K(+) AND B.T(+)='1' AND A.V>0 ORDER BY A.K"),
      "SELECT * FROM A LEFT JOIN B ON A.K=B.K AND B.T='1' WHERE A.V>0 ORDER BY A.K");
}

TEST(OuterJoinRewrite, JoinedTablesFollowTheTablesTheirConditionNames) {
  EXPECT_EQ(rewriteOuterJoins("SELECT * FROM T1 A, T3 C, T2 B, T4 D "
                              "WHERE B.Y=C.Y(+) AND A.X=B.X(+) AND A.Z=D.Z"),
            "SELECT * FROM T1 A,T4 D LEFT JOIN T2 B ON A.X=B.X LEFT JOIN T3 C ON B.Y=C.Y "
            "WHERE A.Z=D.Z");
}

TEST(OuterJoinRewrite, TablesWithoutAliasAndSchemaNames) {
  EXPECT_EQ(rewriteOuterJoins("SELECT * FROM S.ORDERS, S.LINES WHERE ORDERS.ID=LINES.ORDERID(+)"),
            "SELECT * FROM S.ORDERS LEFT JOIN S.LINES ON ORDERS.ID=LINES.ORDERID");
}

TEST(OuterJoinRewrite, QualifiersCompareWithoutCase) {
  EXPECT_EQ(rewriteOuterJoins("SELECT * FROM A x, B y WHERE X.K=Y.K(+)"),
            "SELECT * FROM A x LEFT JOIN B y ON X.K=Y.K");
}

TEST(OuterJoinRewrite, BetweenAndCaseStayWhole) {
  EXPECT_EQ(rewriteOuterJoins("SELECT * FROM A,B WHERE A.V BETWEEN 1 AND 2 AND A.K=B.K(+) AND "
                              "CASE WHEN A.P=1 AND A.Q=2 THEN 1 ELSE 0 END=1 GROUP BY A.K"),
            "SELECT * FROM A LEFT JOIN B ON A.K=B.K WHERE A.V BETWEEN 1 AND 2 AND "
            "CASE WHEN A.P=1 AND A.Q=2 THEN 1 ELSE 0 END=1 GROUP BY A.K");
}

TEST(OuterJoinRewrite, SubqueriesAndSetOperationsAreRewrittenBlockByBlock) {
  EXPECT_EQ(rewriteOuterJoins("SELECT N FROM (SELECT A.N FROM A, B WHERE A.K=B.K(+)) Q "
                              "WHERE Q.N IN (SELECT C.N FROM C,D WHERE C.K=D.K(+) AND D.F='1')"),
            "SELECT N FROM (SELECT A.N FROM A LEFT JOIN B ON A.K=B.K) Q "
            "WHERE Q.N IN (SELECT C.N FROM C LEFT JOIN D ON C.K=D.K WHERE D.F='1')");
  EXPECT_EQ(rewriteOuterJoins("SELECT A.N FROM A,B WHERE A.K=B.K(+) UNION ALL "
                              "SELECT A.N FROM A,B WHERE A.K=B.K"),
            "SELECT A.N FROM A LEFT JOIN B ON A.K=B.K UNION ALL "
            "SELECT A.N FROM A,B WHERE A.K=B.K");
}

TEST(OuterJoinRewrite, UnmappableStatementsAreLeftAlone) {
  const std::string statements[] = {
      // a top-level OR
      "SELECT * FROM A,B WHERE A.K=B.K(+) OR A.V=1",
      // an unqualified marked column
      "SELECT * FROM A,B WHERE A.K=KB(+)",
      // a marked table that is not in the FROM list
      "SELECT * FROM A,B WHERE A.K=C.K(+)",
      // two tables marked in one term
      "SELECT * FROM A,B,C WHERE B.K(+)=C.K(+)",
      // every table marked
      "SELECT * FROM A,B WHERE A.K(+)=B.K AND A.J=B.J(+)",
      // ANSI joins already
      "SELECT * FROM A JOIN C ON A.I=C.I,B WHERE A.K=B.K(+)",
      // circular ON conditions
      "SELECT * FROM A,B,C WHERE A.K=B.K(+) AND C.J=B.J(+) AND B.L=C.L(+)",
      // unbalanced parentheses
      "SELECT * FROM A,B WHERE (A.K=B.K(+)",
      // an open literal (moved into the ON condition, it would swallow the WHERE clause)
      "SELECT * FROM A,B WHERE A.V=1 AND A.K=B.K(+) AND B.N(+)='open",
  };
  for (const std::string& sql : statements) EXPECT_EQ(rewriteOuterJoins(sql), sql) << sql;
}

}  // namespace
}  // namespace velmora::ado
