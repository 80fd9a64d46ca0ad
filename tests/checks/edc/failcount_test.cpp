#include "checks/edc/failcount.hpp"

#include <gtest/gtest.h>

#include "checks/edc/failcount_script.hpp"

namespace velmora {
namespace {

using namespace velmora::testing;

const char* const kFailCountStatement =
    "SELECT A.EQPID,A.SYSID BASICDATASYSID,B.SYSID "
    "FAILCOUNTSYSID,B.VIOLATIONFLAG,ROUND((B.SAMPLESIZE "
    "- B.FAILCOUNT ) / B.SAMPLESIZE * 100,2) WAFERYIELD,B.WAFERSEQ  FROM EDC_PRD_BASICDATA "
    "A,EDC_PRD_FAILCOUNT B  WHERE A.TIMEVERSIONSYSID='TV1'  AND A.EDCITEMSYSID='I1'  AND "
    "A.FLAG='1' AND A.SYSID=B.BASICDATASYSID AND B.FAILCOUNT>0 ";
const char* const kLotLimitsStatement =
    "SELECT A.REASONCODE,A.LOTPERCENT,B.DESCRIPTION  FROM EDC_PRD_LOSSRATE A, EDC_PRD_REASONCODE "
    "B  WHERE A.EDCITEMSYSID='I1'  AND A.LOTPERCENT IS NOT NULL AND A.REASONCODE=B.REASONCODE ";
const char* const kWaferLimitsStatement =
    "SELECT A.REASONCODE,A.WAFERPERCENT,B.DESCRIPTION  FROM EDC_PRD_LOSSRATE A, "
    "EDC_PRD_REASONCODE B  WHERE A.EDCITEMSYSID='I1'  AND A.WAFERPERCENT IS NOT NULL AND "
    "A.REASONCODE=B.REASONCODE ";

// An item with every limit set, one wafer (sequence 1, fail-count record FC1) and data that
// gives every finding of the check: lot bump 3/200 = 1.5% over CP 1, lot reason R1 3% over 2,
// wafer bump 6% over CPK 5, wafer reason R1 5% over 4, yield 90 below LSL 95, flag "2", lot
// yield 97.5 below USL 98, capability mark "1".
void scriptEveryFinding(RunFixture& f) {
  f.setItem("I1", "ITEM", Variant("3"),
            {{"CP", Variant(1.0)},
             {"CPK", Variant(5.0)},
             {"LSL", Variant(95.0)},
             {"USL", Variant(98.0)}});
  f.mes->on(kFailCountQuery,
            failRows({failRow(Variant(1), Variant("FC1"), Variant("2"), Variant(90.0))}));
  scriptLotYield(*f.mes, 200, 5);
  scriptLotBump(*f.mes, 3);
  scriptLotDie(*f.mes, 200);
  scriptLotReason(*f.mes, "R1", 6);
  scriptLimits(*f.mes, kLotLimits, "LOTPERCENT",
               {{Variant("R1"), Variant(2.0), Variant("Scratch")}});
  scriptLimits(*f.mes, kWaferLimits, "WAFERPERCENT",
               {{Variant("R1"), Variant(4.0), Variant("Scratch")}});
  scriptWaferBump(*f.mes, "1", 6);
  scriptWaferReason(*f.mes, "R1", "1", 5);
  scriptWaferId(*f.mes, "1", "W01");
  scriptReasons(*f.mes, "FC1", {"R1", "R2"});
  scriptCapability(*f.mes, "1");
}

TEST(FailCountYieldCheck, WithoutFailCountRowsTheItemEndsAtOnce) {
  RunFixture f;
  f.mes->on(kCapability, single("CPCPKVIOLATION", Variant("1")));
  EXPECT_FALSE(runFailCountYieldCheck(f.run));
  EXPECT_EQ(f.mes->statements, std::vector<std::string>{kFailCountStatement});
  EXPECT_EQ(f.run.lotDeviations, "");
  EXPECT_EQ(flagText(f.state.flags.IsEDCFail), "N");
}

TEST(FailCountYieldCheck, RunsItsStatementsInTheOrderOfItsSteps) {
  RunFixture f;
  scriptEveryFinding(f);
  EXPECT_TRUE(runFailCountYieldCheck(f.run));
  const char* const expected[] = {
      kFailCountQuery, kLotYieldSelect, kBumpList,    kLotDefect,     kLotDie,
      kLotLimits,      kLotDefect,      kLotDie,      kWaferIdSelect, kBumpList,
      kWaferDefect,    kWaferLimits,    kWaferDefect, kReasonsSelect, kCapability,
  };
  ASSERT_EQ(f.mes->statements.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_NE(f.mes->statements[i].find(expected[i]), std::string::npos)
        << "statement " << i << ": " << f.mes->statements[i];
  }
  EXPECT_EQ(f.mes->statements[0], kFailCountStatement);
  EXPECT_EQ(f.mes->statements[5], kLotLimitsStatement);
  EXPECT_EQ(f.mes->statements[11], kWaferLimitsStatement);
  EXPECT_EQ(f.mes->statements[1],
            "SELECT DECODE(SUM(SAMPLESIZE),NULL,0,SUM(SAMPLESIZE)) SAMPLESIZE, "
            "DECODE(SUM(FAILCOUNT),NULL,0,SUM(FAILCOUNT)) FAILCOUNT FROM EDC_PRD_FAILCOUNT  "
            "WHERE BASICDATASYSID = 'BD1' ");
}

TEST(FailCountYieldCheck, EveryFindingInItsOrderWithItsColumns) {
  RunFixture f;
  scriptEveryFinding(f);
  runFailCountYieldCheck(f.run);
  EXPECT_EQ(f.run.lotDeviations, "ITEM/BYL,ITEM_Scratch/SDL,ITEM/LLY,ITEM/OFS");
  EXPECT_EQ(flagText(f.state.flags.IsEDCFail), "Y");
  EXPECT_EQ(findings(f), (std::vector<std::string>{"BYW", "SDW", "R1,R2", "OFC"}));

  const std::vector<Row> rows = f.rows();
  for (const Row& row : rows) {
    EXPECT_TRUE(row[0].isEmpty());
    EXPECT_EQ(row[col::kEqpId], Variant("EQP1"));
    EXPECT_EQ(row[col::kCollectType], Variant("2"));
    EXPECT_EQ(row[col::kWaferSeq], Variant(1)) << "the sequence stays a number";
    EXPECT_EQ(row[col::kWaferId], Variant("W01"));
    EXPECT_EQ(row[col::kTa], Variant("TA1"));
    EXPECT_EQ(row[col::kLotYield], Variant(97.5));
    EXPECT_EQ(row[col::kWaferYield], Variant(90.0));
    EXPECT_TRUE(row[10].isEmpty());
  }
  EXPECT_EQ(rows[0][col::kItemName], Variant("ITEM"));
  EXPECT_EQ(rows[1][col::kItemName], Variant("ITEM_Scratch"));
  EXPECT_EQ(rows[2][col::kItemName], Variant("ITEM"));
}

TEST(FailCountYieldCheck, LimitsAreStrictAndNullLimitsSkipOnlyTheirCheck) {
  RunFixture f;
  scriptEveryFinding(f);
  // Equal values are no finding: wafer yield = LSL, lot yield = USL, the rates = their limits.
  f.setItem("I1", "ITEM", Variant("3"), {{"LSL", Variant(90.0)}, {"USL", Variant(97.5)}});
  scriptLimits(*f.mes, kLotLimits, "LOTPERCENT", {{Variant("R1"), Variant(3.0), Variant("S")}});
  scriptLimits(*f.mes, kWaferLimits, "WAFERPERCENT", {{Variant("R1"), Variant(5.0), Variant("S")}});
  scriptCapability(*f.mes, "0");
  runFailCountYieldCheck(f.run);
  EXPECT_EQ(f.run.lotDeviations, "");
  EXPECT_EQ(findings(f), std::vector<std::string>{"OFC"});
  EXPECT_EQ(f.mes->count(kBumpList), 0) << "Null CP and CPK skip both bump checks";
  EXPECT_EQ(f.mes->count(kLotLimits), 1);
  EXPECT_EQ(f.mes->count(kWaferLimits), 1);
}

TEST(FailCountYieldCheck, NullLowerLimitsGiveNoYieldFindings) {
  RunFixture f;
  scriptEveryFinding(f);
  f.setItem("I1", "ITEM", Variant("3"), {{"CP", Variant(1.0)}, {"CPK", Variant(5.0)}});
  runFailCountYieldCheck(f.run);
  EXPECT_EQ(f.run.lotDeviations, "ITEM/BYL,ITEM_Scratch/SDL,ITEM/OFS");
  EXPECT_EQ(findings(f), (std::vector<std::string>{"BYW", "SDW", "OFC"}));
  EXPECT_EQ(f.mes->count(kReasonsSelect), 0);
}

TEST(FailCountYieldCheck, LimitsAreTakenInSinglePrecision) {
  // 100000001 of 1e11 dies is 0.100000001%: above the double 0.1 but not above the single 0.1
  // (0.10000000149).
  RunFixture f;
  f.setItem("I1", "ITEM", Variant("3"), {{"CP", Variant(0.1)}});
  f.mes->on(kFailCountQuery,
            failRows({failRow(Variant(1), Variant("FC1"), Variant::null(), Variant(99.0))}));
  scriptLotBump(*f.mes, 100000001);
  scriptLotDie(*f.mes, 1e11);
  runFailCountYieldCheck(f.run);
  EXPECT_EQ(f.run.lotDeviations, "");
  EXPECT_EQ(f.mes->count(kLotDie), 1) << "the rate was formed";
}

TEST(FailCountYieldCheck, ViolationFlagsAddOfcAndOfcs) {
  RunFixture f;
  f.mes->on(kFailCountQuery,
            failRows({failRow(Variant(1), Variant("FC1"), Variant("1"), Variant(99.0)),
                      failRow(Variant(2), Variant("FC2"), Variant("2"), Variant(99.0)),
                      failRow(Variant(3), Variant("FC3"), Variant("3"), Variant(99.0)),
                      failRow(Variant(4), Variant("FC4"), Variant::null(), Variant(99.0)),
                      failRow(Variant(5), Variant("FC5"), Variant("0"), Variant(99.0)),
                      failRow(Variant(6), Variant("FC6"), Variant(3), Variant(99.0))}));
  scriptLotYield(*f.mes, 100, 1);
  runFailCountYieldCheck(f.run);
  EXPECT_EQ(findings(f), (std::vector<std::string>{"OFC", "OFCS", "OFCS"}));
  const std::vector<Row> rows = f.rows();
  EXPECT_EQ(rows[0][col::kWaferSeq], Variant(2));
  EXPECT_EQ(rows[2][col::kWaferSeq], Variant(6));
  EXPECT_EQ(f.mes->count(kWaferIdSelect), 6) << "every wafer's id is looked up";
  EXPECT_EQ(f.mes->count(kWaferLimits), 6) << "the wafer limits are read for every wafer";
  EXPECT_EQ(flagText(f.state.flags.IsEDCFail), "Y");
}

TEST(FailCountYieldCheck, AnEmptyLotYieldCountsAsZero) {
  RunFixture f;
  f.setItem("I1", "ITEM", Variant("3"), {{"USL", Variant(0.5)}});
  f.mes->on(kFailCountQuery,
            failRows({failRow(Variant(1), Variant("FC1"), Variant("2"), Variant(99.0))}));
  scriptLotYield(*f.mes, 0, 0);  // the division fails inside getLotYield
  runFailCountYieldCheck(f.run);
  EXPECT_EQ(f.run.lotDeviations, "ITEM/LLY");
  ASSERT_EQ(f.rows().size(), 1u);
  EXPECT_EQ(f.rows()[0][col::kLotYield], Variant(0.0));
}

TEST(FailCountYieldCheck, UnusableValuesEndTheRunNamingTheValue) {
  struct Case {
    const char* limit;
    Variant value;
    std::int32_t number;
    const char* named;
  };
  const Case cases[] = {
      {"CP", Variant("abc"), err::kTypeMismatch, "CP of item 'ITEM'"},
      {"CPK", Variant("abc"), err::kTypeMismatch, "CPK of item 'ITEM'"},
      {"LSL", Variant("abc"), err::kTypeMismatch, "LSL of item 'ITEM'"},
      {"USL", Variant("abc"), err::kTypeMismatch, "USL of item 'ITEM'"},
  };
  for (const Case& c : cases) {
    RunFixture f;
    scriptEveryFinding(f);
    f.setItem("I1", "ITEM", Variant("3"), {{c.limit, c.value}});
    try {
      runFailCountYieldCheck(f.run);
      ADD_FAILURE() << c.limit << " did not fail";
    } catch (const AutomationError& e) {
      EXPECT_EQ(e.number(), c.number) << c.limit;
      EXPECT_NE(e.description().find(c.named), std::string::npos) << e.description();
    }
  }

  RunFixture f;
  scriptEveryFinding(f);
  f.mes->on(kFailCountQuery,
            failRows({failRow(Variant::null(), Variant("FC1"), Variant("2"), Variant(90.0))}));
  try {
    runFailCountYieldCheck(f.run);
    ADD_FAILURE() << "a Null WAFERSEQ did not fail";
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.number(), err::kInvalidNull);
    EXPECT_NE(e.description().find("WAFERSEQ of item 'ITEM'"), std::string::npos);
  }
}

TEST(FailCountYieldCheck, QuotesInIdsAreDoubled) {
  RunFixture f;
  scriptEveryFinding(f);
  f.state.timeVersionSysid = "T'V";
  f.setItem("I'1", "ITEM", Variant("3"), {});
  f.mes->on("AND A.EDCITEMSYSID='I''1'",
            failRows({failRow(Variant(1), Variant("FC1"), Variant("2"), Variant(90.0))}));
  runFailCountYieldCheck(f.run);
  EXPECT_NE(f.mes->statements[0].find("A.TIMEVERSIONSYSID='T''V'"), std::string::npos);
  EXPECT_EQ(f.mes->count("A.EDCITEMSYSID='I''1'"), 3) << "fail counts and both limit queries";
}

}  // namespace
}  // namespace velmora
