#include "checks/spc/chart.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "check/dispatch.hpp"
#include "support/run_fixture.hpp"

namespace velmora {
namespace {

using testing::Answer;
using testing::RunFixture;

// Chart-query rows: EQPID, STATDATASYSID, rules 1, rules 2, flag 1, flag 2.
Answer charts(std::vector<std::vector<Variant>> rows) {
  return Answer{{"EQPID", "STATDATASYSID", "CHART1VIOLATIONRULES", "CHART2VIOLATIONRULES",
                 "CHART1VIOLATIONFLAG", "CHART2VIOLATIONFLAG"},
                std::move(rows)};
}

// Scripts the raw data of statistics records S1 (wafer 3) and S2 (wafer 4) and the lot's wafer
// ids W03 and W04.
void scriptWafers(testing::ScriptedMes& mes) {
  mes.on("STATDATASYSID = 'S1'", Answer{{"WAFERSEQ"}, {{Variant(3)}}});
  mes.on("STATDATASYSID = 'S2'", Answer{{"WAFERSEQ"}, {{Variant(4)}}});
  mes.on("SEQ = '3'", Answer{{"LOTID", "SEQ", "WAFERID"}, {{"LOT1", "3", "W03"}}});
  mes.on("SEQ = '4'", Answer{{"LOTID", "SEQ", "WAFERID"}, {{"LOT1", "4", "W04"}}});
}

TEST(SpcChartCheck, SendsTheExactChartQuery) {
  RunFixture f;
  f.state.timeVersionSysid = "T'V";
  runSpcChartCheck(f.run);
  ASSERT_EQ(f.mes->statements.size(), 1u);
  EXPECT_EQ(f.mes->statements[0],
            "SELECT A.EQPID,B.SYSID STATDATASYSID,B.CHART1VIOLATIONRULES,B.CHART2VIOLATIONRULES,"
            " B.CHART1VIOLATIONFLAG,B.CHART2VIOLATIONFLAG  FROM EDC_PRD_BASICDATA "
            "A,EDC_PRD_STATDATA B  WHERE A.TIMEVERSIONSYSID='T''V'  AND A.EDCITEMSYSID='I1'  "
            "AND A.FLAG='1' AND A.VIOLATIONCOUNT>0 AND A.SYSID=B.BASICDATASYSID ");
  EXPECT_TRUE(f.rows().empty());
  EXPECT_EQ(flagText(f.state.flags.IsEDCFail), "N");
}

struct FindingCase {
  ChartMarks marks;
  std::optional<std::string> finding;
};

TEST(SpcChartCheck, FindingTakesTheHigherFlagsCodeBeforeTheRules) {
  const FindingCase cases[] = {
      // The higher flag of the two charts picks the code, whichever chart carries it.
      {{"1", "3", "", ""}, "OFCS"},
      {{"3", "2", "", ""}, "OFCS"},
      {{"2", "1", "", ""}, "OFS"},
      {{"0", "2", "", ""}, "OFS"},
      {{"1", "0", "", ""}, "OFC"},
      {{"0", "1", "", ""}, "OFC"},
      // Rules follow the code, chart 1's before chart 2's.
      {{"1", "0", "R1", ""}, "OFC,R1"},
      {{"1", "0", "", "R2"}, "OFC,R2"},
      {{"3", "1", "R1,R5", "R2"}, "OFCS,R1,R5,R2"},
      // Both "0": nothing without rules, the rules alone with them.
      {{"0", "0", "", ""}, std::nullopt},
      {{"0", "0", "R1", "R2"}, "R1,R2"},
      // Both empty: never a violation, rules or not.
      {{"", "", "R1", "R2"}, std::nullopt},
      // One empty, the other "0": a violation without a code.
      {{"", "0", "", ""}, ""},
      {{"0", "", "R1", ""}, "R1"},
      // Flags other than the known ones count as violations, finding the rules alone.
      {{"9", "", "R1", ""}, "R1"},
      {{"2", "", "", ""}, "OFS"},
  };
  for (const FindingCase& c : cases) {
    EXPECT_EQ(chartFinding(c.marks), c.finding)
        << "flags '" << c.marks.flag1 << "'/'" << c.marks.flag2 << "' rules '" << c.marks.rules1
        << "'/'" << c.marks.rules2 << "'";
  }
}

TEST(SpcChartCheck, AViolationBecomesAFullWaferRow) {
  RunFixture f;
  f.setItem("I1", "THK", "1", {});
  scriptWafers(*f.mes);
  f.mes->on("FROM EDC_PRD_BASICDATA A,EDC_PRD_STATDATA B",
            charts({{"EQP7", "S1", "R1", "R2", "1", "3"}}));
  runSpcChartCheck(f.run);

  ASSERT_EQ(f.rows().size(), 1u);
  const Row row = f.rows()[0];
  EXPECT_EQ(row[0], Variant());
  EXPECT_EQ(row[col::kItemName], Variant("THK"));
  EXPECT_EQ(row[col::kEqpId], Variant("EQP7"));
  EXPECT_EQ(row[col::kCollectType], Variant("1"));
  EXPECT_EQ(row[col::kWaferSeq], Variant("3"));
  EXPECT_EQ(row[col::kWaferId], Variant("W03"));
  EXPECT_EQ(row[col::kFinding], Variant("OFCS,R1,R2"));
  EXPECT_EQ(row[col::kTa], Variant("TA1"));
  EXPECT_EQ(row[col::kLotYield], Variant());
  EXPECT_EQ(row[col::kWaferYield], Variant());
  EXPECT_EQ(row[10], Variant());
  EXPECT_EQ(flagText(f.state.flags.IsEDCFail), "Y");
  // The wafer id is looked up with the sequence just found, for the run's lot.
  ASSERT_EQ(f.mes->selects.size(), 2u);
  EXPECT_EQ(f.mes->selects[1].tables, "MES_LOT_WAFERID");
  EXPECT_EQ(f.mes->selects[1].condition, "LOTID = 'LOT1'  AND SEQ = '3' ");
}

TEST(SpcChartCheck, EachViolatingRecordInDatabaseOrderOthersSkipped) {
  RunFixture f;
  scriptWafers(*f.mes);
  f.mes->on("FROM EDC_PRD_BASICDATA A,EDC_PRD_STATDATA B",
            charts({{"E1", "S2", Variant::null(), Variant::null(), "2", "1"},
                    {"E1", "S1", "R1", "R2", Variant::null(), Variant::null()},
                    {"E1", "S1", "", "", "0", "0"},
                    {Variant::null(), "S1", "", "", "0", "0"},
                    {Variant::null(), "S1", Variant::null(), "R4", "0", "0"}}));
  runSpcChartCheck(f.run);

  const auto rows = f.rows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][col::kWaferSeq], Variant("4"));
  EXPECT_EQ(rows[0][col::kFinding], Variant("OFS"));
  EXPECT_EQ(rows[1][col::kEqpId], Variant(""));
  EXPECT_EQ(rows[1][col::kWaferSeq], Variant("3"));
  EXPECT_EQ(rows[1][col::kFinding], Variant("R4"));
  // Skipped records cost no wafer lookups.
  EXPECT_EQ(f.mes->count("EDC_PRD_RAWDATA"), 2);
}

TEST(SpcChartCheck, ACodelessViolationStillSetsEdcFail) {
  RunFixture f;
  f.mes->on("FROM EDC_PRD_BASICDATA A,EDC_PRD_STATDATA B", charts({{"E1", "S1", "", "", "", "0"}}));
  runSpcChartCheck(f.run);
  ASSERT_EQ(f.rows().size(), 1u);
  EXPECT_EQ(f.rows()[0][col::kFinding], Variant(""));
  EXPECT_EQ(flagText(f.state.flags.IsEDCFail), "Y");
}

TEST(SpcChartCheck, AWaferWithoutRawDataKeepsEmptyCellsAndTheRunGoesOn) {
  RunFixture f;
  f.mes->on("FROM EDC_PRD_BASICDATA A,EDC_PRD_STATDATA B",
            charts({{"E1", "S9", "", "", "1", "0"}, {"E1", "S8", "", "", "1", "0"}}));
  f.mes->failOn("STATDATASYSID = 'S8'",
                AutomationError(13, "Type mismatch", FailureKind::kUnfitData));
  runSpcChartCheck(f.run);
  const auto rows = f.rows();
  ASSERT_EQ(rows.size(), 2u);
  for (const Row& row : rows) {
    EXPECT_EQ(row[col::kWaferSeq], Variant(""));
    EXPECT_EQ(row[col::kWaferId], Variant(""));
    EXPECT_EQ(row[col::kFinding], Variant("OFC"));
  }
  EXPECT_EQ(f.trace->entries.back(), "Abnormals.getWaferId: Executing...");
  EXPECT_NE(std::find(f.trace->entries.begin(), f.trace->entries.end(),
                      "Abnormals.getWaferSeq: 13:Type mismatch"),
            f.trace->entries.end());
}

TEST(SpcChartCheck, SpcItemsRunChartCapabilityAndCommentChecksInOrder) {
  for (const char* type : {"0", "1", "2"}) {
    RunFixture f;
    f.setItem("I1", "ITEM", Variant(type), {});
    dispatchItem(f.run);
    ASSERT_EQ(f.mes->statements.size(), 3u) << type;
    EXPECT_NE(f.mes->statements[0].find("EDC_PRD_STATDATA"), std::string::npos);
    EXPECT_NE(f.mes->statements[1].find("CPCPKVIOLATION<>'0'"), std::string::npos);
    EXPECT_NE(f.mes->statements[2].find("COMMENTS IS NOT NULL"), std::string::npos);
  }
}

TEST(SpcChartCheck, AFailingChartQueryReachesTheCaller) {
  RunFixture f;
  f.mes->failOn("EDC_PRD_STATDATA", AutomationError(-1, "ORA-00904"));
  EXPECT_THROW(runSpcChartCheck(f.run), AutomationError);
}

}  // namespace
}  // namespace velmora
