// The statements of the fail-count checks, their rate checks and lookups run unchanged on the
// demo MES schema through the SQLite driver (the database rejects none of them), and select what
// they are meant to on the demo data of LOT-A01 at S-FQC-100: FINAL VISUAL (fail-count item,
// basic data BD-A01-F03) and PROBE MARK (item of type "5", basic data BD-A01-F05).
#include <gtest/gtest.h>

#include "checks/edc/defects.hpp"
#include "checks/edc/failcount.hpp"
#include "checks/edc/lookups.hpp"
#include "demo_mes.hpp"
#include "support/run_fixture.hpp"

namespace velmora {
namespace {

using testing::RunFixture;

struct DemoRun : RunFixture {
  DemoRun() {
    context->mesdb = db;
    state.lotId = "LOT-A01";
    state.timeVersionSysid = "TV-A01-FQC";
    state.timeVersionTa = "OPR0417";
  }
  void finalVisual() {
    setItem("EI-7A-F03", "FINAL VISUAL", Variant("3"),
            {{"CP", Variant(0.5)},
             {"CPK", Variant(1.0)},
             {"LSL", Variant(95.0)},
             {"USL", Variant(98.0)}});
  }
  void probeMark() {
    setItem("EI-7A-F05", "PROBE MARK", Variant("5"),
            {{"CPK", Variant(2.0)}, {"LSL", Variant(90.0)}, {"USL", Variant(96.0)}});
  }
  int count(const std::string& fragment) const {
    int n = 0;
    for (const auto& s : db->statements) n += s.find(fragment) != std::string::npos ? 1 : 0;
    return n;
  }

  std::shared_ptr<testing::RecordingMes> db = testing::openDemoMes();
};

double single(double value) {
  return Variant(value).toSingle();
}

TEST(EdcStatementsOnDemoSchema, RateChecksAndLookupsSelectWhatTheyMean) {
  DemoRun r;
  // Only MODULE 'EDC' / FIELD_NAME 'Bump Defect' rows count.
  EXPECT_EQ(getBumpDefect(r.run), "'101','102','103'");
  // Lot bump 8 of 1500 dies = 0.53 %; lot scratch 14 of 1500 = 0.93 %.
  EXPECT_TRUE(chkLotBumpDefect(r.run, single(0.5), "BD-A01-F03"));
  EXPECT_FALSE(chkLotBumpDefect(r.run, single(0.6), "BD-A01-F03"));
  EXPECT_TRUE(chkLotSingleDefect(r.run, single(0.9), "BD-A01-F03", "210"));
  EXPECT_FALSE(chkLotSingleDefect(r.run, single(1.0), "BD-A01-F03", "210"));
  // Slot 3 bump 7 of 300 = 2.33 %; slot 5 particle 5 of 300 = 1.67 %.
  EXPECT_TRUE(chkWaferBumpDefect(r.run, single(2.3), "BD-A01-F03", "3"));
  EXPECT_FALSE(chkWaferBumpDefect(r.run, single(2.4), "BD-A01-F03", "3"));
  EXPECT_TRUE(chkWaferSingleDefect(r.run, single(1.6), "BD-A01-F03", "220", "5"));
  EXPECT_FALSE(chkWaferSingleDefect(r.run, single(1.7), "BD-A01-F03", "220", "5"));
  // 971 of 1000 dies good; the reasons of slot 3 in site and code order.
  EXPECT_EQ(getLotYield(r.run, "BD-A01-F03"), " 97.1");
  EXPECT_EQ(getReasons(r.run, "FC-A01-F03-03"), "101,210,102");
  EXPECT_EQ(getWaferId(r.run, "LOT-A01", "3"), "03-A01");
  EXPECT_EQ(r.db->failures, std::vector<std::string>{});
}

TEST(EdcStatementsOnDemoSchema, TheFailCountYieldCheckRunsEveryStatement) {
  DemoRun r;
  r.finalVisual();
  EXPECT_TRUE(runFailCountYieldCheck(r.run));
  EXPECT_EQ(r.db->failures, std::vector<std::string>{});
  for (const char* fragment :
       {"B.FAILCOUNT>0", "SUM(SAMPLESIZE)", "MES_BASIC_LISTDATA", "Sum(c.Count)) Defect", "LotDie",
        "A.LOTPERCENT IS NOT NULL", "FROM MES_LOT_WAFERID", "WaferDefect  FROM",
        "A.WAFERPERCENT IS NOT NULL", "Sum(b.SampleSize)))*100 WaferDefect", "EDC_PRD_FAILREASON D",
        "CPCPKVIOLATION"}) {
    EXPECT_GT(r.count(fragment), 0) << fragment;
  }
  // Slot 1 has no failure: only slots 3, 5, 8 and 12 are wafers of the check.
  EXPECT_EQ(r.count("FROM MES_LOT_WAFERID"), 4);
  EXPECT_EQ(r.run.lotDeviations,
            "FINAL VISUAL/BYL,FINAL VISUAL_Scratch/SDL,FINAL VISUAL/LLY,FINAL VISUAL/OFS");
}

TEST(EdcStatementsOnDemoSchema, TheFlaggedCheckTakesFailCountsWithoutFailures) {
  DemoRun r;
  r.probeMark();
  EXPECT_EQ(runFlaggedFailCountCheck(r.run), FlaggedOutcome::kJudged);
  EXPECT_EQ(r.db->failures, std::vector<std::string>{});
  // Slot 6 has no failure and still takes part.
  EXPECT_EQ(r.count("FROM MES_LOT_WAFERID"), 3);
  EXPECT_EQ(r.run.lotDeviations, "PROBE MARK/LLY,PROBE MARK/OFCS");
  EXPECT_EQ(flagText(r.state.flags.IsEDCFail), "Y");  // the wafer findings of slots 3 and 14
}

}  // namespace
}  // namespace velmora
