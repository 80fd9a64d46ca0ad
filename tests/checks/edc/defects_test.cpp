#include "checks/edc/defects.hpp"

#include <gtest/gtest.h>

#include "common/procedure.hpp"
#include "support/run_fixture.hpp"

namespace velmora {
namespace {

using testing::Answer;
using testing::RunFixture;

const char* const kBumpList =
    "SELECT FIELD_VALUE FROM MES_BASIC_LISTDATA  WHERE MODULE='EDC' AND FIELD_NAME='Bump Defect' ";
const char* const kJoinBd1 =
    " FROM EDC_Prd_FailCount a, EDC_Prd_FailCount_Site b, EDC_Prd_FailReason c "
    " WHERE a.BasicDataSysId='BD1'  AND a.SysId=b.FailCountSysId AND "
    "b.SysId=c.FailCountSiteSysId ";
const char* const kLotDieBd1 =
    "SELECT Decode(Sum(Die1+Die2),Null,0,Sum(Die1+Die2)) LotDie  FROM (SELECT a.SampleSize Die1, "
    "b.SampleSize Die2  FROM EDC_Prd_FailCount a, EDC_Prd_FailCount_Site b  WHERE "
    "a.BasicDataSysId='BD1'  AND a.SysId=b.FailCountSysId  GROUP BY "
    "a.WaferSeq,a.SampleSize,b.SampleSize ) ";

Answer one(const char* column, Variant value) {
  return Answer{{column}, {{std::move(value)}}};
}

// Scripts bump codes B1 and B2 and the answers of the lot defect and lot-die queries.
void scriptLot(RunFixture& f, Variant defect, Variant lotDie) {
  f.mes->on("MES_BASIC_LISTDATA", Answer{{"FIELD_VALUE"}, {{Variant("B1")}, {Variant("B2")}}});
  f.mes->on(") Defect ", one("DEFECT", std::move(defect)));
  f.mes->on("LotDie", one("LOTDIE", std::move(lotDie)));
}

bool errorTraced(const RunFixture& f, const std::string& entryStart) {
  for (const auto& e : f.trace->entries) {
    if (e.rfind(entryStart, 0) == 0) return true;
  }
  return false;
}

TEST(GetBumpDefect, QuotesAndJoinsTheConfiguredCodes) {
  RunFixture f;
  f.mes->on("MES_BASIC_LISTDATA", Answer{{"FIELD_VALUE"}, {{Variant("B1")}, {Variant("B2")}}});
  EXPECT_EQ(getBumpDefect(f.run), "'B1','B2'");
  ASSERT_EQ(f.mes->statements.size(), 1u);
  EXPECT_EQ(f.mes->statements[0], kBumpList);
  EXPECT_EQ(f.trace->entries, std::vector<std::string>{"Abnormals.getBumpDefect: Executing..."});
}

TEST(GetBumpDefect, NoCodesAFailureOrAQuoteInACode) {
  RunFixture none;
  EXPECT_EQ(getBumpDefect(none.run), "");

  // A missing table ends the run, traced here.
  RunFixture failing;
  failing.mes->failOn("MES_BASIC_LISTDATA", AutomationError(-7, "ORA-00942: no table"));
  EXPECT_THROW(getBumpDefect(failing.run), RunEnded);
  EXPECT_TRUE(errorTraced(failing, "Abnormals.getBumpDefect: -7:ORA-00942: no table"));

  RunFixture quoted;
  quoted.mes->on("MES_BASIC_LISTDATA", Answer{{"FIELD_VALUE"}, {{Variant("B'1")}}});
  EXPECT_EQ(getBumpDefect(quoted.run), "'B''1'");
}

TEST(ChkLotBumpDefect, SendsTheBumpListDefectAndLotDieStatements) {
  RunFixture f;
  scriptLot(f, Variant(3.0), Variant(200.0));
  EXPECT_TRUE(chkLotBumpDefect(f.run, Variant(1.4).toSingle(), "BD1"));
  ASSERT_EQ(f.mes->statements.size(), 3u);
  EXPECT_EQ(f.mes->statements[0], kBumpList);
  EXPECT_EQ(f.mes->statements[1],
            std::string("SELECT Decode(Sum(c.Count),Null,0,Sum(c.Count)) Defect ") + kJoinBd1 +
                " AND c.ReasonCode in ('B1','B2') ");
  EXPECT_EQ(f.mes->statements[2], kLotDieBd1);
}

TEST(ChkLotBumpDefect, ZeroDefectsSkipTheLotDieQuery) {
  RunFixture f;
  scriptLot(f, Variant(0.0), Variant(200.0));
  EXPECT_FALSE(chkLotBumpDefect(f.run, 0.0, "BD1"));
  EXPECT_EQ(f.mes->count("LotDie"), 0);
}

TEST(ChkLotSingleDefect, SendsTheReasonDefectAndLotDieStatements) {
  RunFixture f;
  scriptLot(f, Variant(3.0), Variant(200.0));
  EXPECT_TRUE(chkLotSingleDefect(f.run, Variant(1.4).toSingle(), "BD1", "R1"));
  ASSERT_EQ(f.mes->statements.size(), 2u);
  EXPECT_EQ(f.mes->statements[0],
            std::string("SELECT Decode(Sum(c.Count),Null,0,Sum(c.Count)) Defect ") + kJoinBd1 +
                " AND c.ReasonCode='R1' ");
  EXPECT_EQ(f.mes->statements[1], kLotDieBd1);
}

// 3 failures over 200 dies is 1.5 percent: strictly above 1.4, not above 1.5 (both limits in
// single precision). An empty lot (a rate over 0 dies would be infinite) and a lot without
// failures answer false whatever the limit.
TEST(ChkLotSingleDefect, ComparesTheRateStrictlyWithTheSingleLimit) {
  struct Case {
    double defect, lotDie, limit;
    bool expected;
  };
  const Case cases[] = {
      {3, 200, 1.4, true},
      {3, 200, 1.5, false},
      {3, 0, 0.0, false},
      {0, 200, -1.0, false},
  };
  for (const Case& c : cases) {
    RunFixture f;
    scriptLot(f, Variant(c.defect), Variant(c.lotDie));
    EXPECT_EQ(chkLotSingleDefect(f.run, Variant(c.limit).toSingle(), "BD1", "R1"), c.expected)
        << c.defect << "/" << c.lotDie << " against " << c.limit;
  }
}

TEST(ChkLotSingleDefect, AFailingQueryIsTracedAndEndsTheRun) {
  RunFixture f;
  scriptLot(f, Variant(3.0), Variant(200.0));
  f.mes->failOn("LotDie", AutomationError(-904, "ORA-00904: invalid identifier"));
  EXPECT_THROW(chkLotSingleDefect(f.run, 0.0, "BD1", "R1"), RunEnded);
  EXPECT_EQ(f.trace->entries,
            (std::vector<std::string>{"Abnormals.chkLotSingleDefect: Executing...",
                                      "Abnormals.chkLotSingleDefect: -904:ORA-00904: invalid "
                                      "identifier"}));
}

TEST(ChkLotSingleDefect, QuotesInIdsAreDoubled) {
  RunFixture f;
  scriptLot(f, Variant(3.0), Variant(200.0));
  chkLotSingleDefect(f.run, 0.0, "B'D", "R'1");
  ASSERT_EQ(f.mes->statements.size(), 2u);
  EXPECT_NE(f.mes->statements[0].find("a.BasicDataSysId='B''D'"), std::string::npos);
  EXPECT_NE(f.mes->statements[0].find("c.ReasonCode='R''1'"), std::string::npos);
  EXPECT_NE(f.mes->statements[1].find("a.BasicDataSysId='B''D'"), std::string::npos);
}

TEST(ChkWaferBumpDefect, SendsTheGroupedWaferStatementAndComparesStrictly) {
  for (const auto& [rate, expected] : {std::pair{2.5, true}, std::pair{2.0, false}}) {
    RunFixture f;
    f.mes->on("MES_BASIC_LISTDATA", Answer{{"FIELD_VALUE"}, {{Variant("B1")}, {Variant("B2")}}});
    // Only the first group decides.
    f.mes->on("WaferDefect", Answer{{"WAFERDEFECT"}, {{Variant(rate)}, {Variant(50.0)}}});
    EXPECT_EQ(chkWaferBumpDefect(f.run, Variant(2.0).toSingle(), "BD1", "3"), expected);
    ASSERT_EQ(f.mes->statements.size(), 2u);
    EXPECT_EQ(f.mes->statements[1],
              std::string("SELECT Decode(Sum(c.Count)/(a.SampleSize+b.SampleSize),Null,0,"
                          "Sum(c.Count)/(a.SampleSize+b.SampleSize))*100 WaferDefect ") +
                  kJoinBd1 +
                  " AND c.ReasonCode in ('B1','B2')  AND a.WaferSeq='3'  GROUP BY "
                  "a.WaferSeq,a.SampleSize,b.SampleSize ");
  }
}

// A wafer without bump failures has no row; without configured codes there is nothing to count
// (and "IN ()" would be a syntax error outside SQLite). Both answer false, even against a limit
// below 0, without an error entry.
TEST(ChkBumpDefect, NoRowOrNoConfiguredCodeIsFalseWithoutAnErrorEntry) {
  RunFixture f;
  f.mes->on("MES_BASIC_LISTDATA", Answer{{"FIELD_VALUE"}, {{Variant("B1")}}});
  f.mes->on("WaferDefect", Answer{{"WAFERDEFECT"}, {}});
  EXPECT_FALSE(chkWaferBumpDefect(f.run, -1.0, "BD1", "3"));
  EXPECT_EQ(f.trace->entries,
            (std::vector<std::string>{"Abnormals.chkWaferBumpDefect: Executing...",
                                      "Abnormals.getBumpDefect: Executing..."}));

  RunFixture none;
  EXPECT_FALSE(chkLotBumpDefect(none.run, -1.0, "BD1"));
  EXPECT_FALSE(chkWaferBumpDefect(none.run, -1.0, "BD1", "3"));
  EXPECT_EQ(none.mes->statements, (std::vector<std::string>{kBumpList, kBumpList}));
  for (const std::string& entry : none.trace->entries) {
    EXPECT_NE(entry.find("Executing..."), std::string::npos) << entry;
  }
}

TEST(ChkWaferSingleDefect, SendsTheUngroupedWaferStatementAndComparesStrictly) {
  for (const auto& [rate, expected] : {std::pair{1.5, false}, std::pair{1.6, true}}) {
    RunFixture f;
    f.mes->on("WaferDefect", one("WAFERDEFECT", Variant(rate)));
    EXPECT_EQ(chkWaferSingleDefect(f.run, Variant(1.5).toSingle(), "BD1", "R1", "3"), expected);
    ASSERT_EQ(f.mes->statements.size(), 1u);
    EXPECT_EQ(f.mes->statements[0],
              std::string("SELECT Decode(Sum(c.Count)/(Sum(a.SampleSize)+Sum(b.SampleSize)),"
                          "Null,0,Sum(c.Count)/(Sum(a.SampleSize)+Sum(b.SampleSize)))*100 "
                          "WaferDefect ") +
                  kJoinBd1 + " AND c.ReasonCode='R1'  AND a.WaferSeq='3'");
  }
}

}  // namespace
}  // namespace velmora
