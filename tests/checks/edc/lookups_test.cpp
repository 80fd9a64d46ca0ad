#include "checks/edc/lookups.hpp"

#include <gtest/gtest.h>

#include "common/procedure.hpp"
#include "support/run_fixture.hpp"

namespace velmora {
namespace {

using testing::Answer;
using testing::RunFixture;

Answer sums(Variant samples, Variant failures) {
  return Answer{{"SAMPLESIZE", "FAILCOUNT"}, {{std::move(samples), std::move(failures)}}};
}

TEST(GetLotYield, SelectsTheSumsOfTheBasicData) {
  RunFixture f;
  f.mes->on("EDC_PRD_FAILCOUNT", sums(Variant(200.0), Variant(5.0)));
  EXPECT_EQ(getLotYield(f.run, "BD1"), " 97.5");
  ASSERT_EQ(f.mes->selects.size(), 1u);
  EXPECT_EQ(f.mes->selects[0].tables, "EDC_PRD_FAILCOUNT ");
  EXPECT_EQ(f.mes->selects[0].columns,
            "DECODE(SUM(SAMPLESIZE),NULL,0,SUM(SAMPLESIZE)) SAMPLESIZE, "
            "DECODE(SUM(FAILCOUNT),NULL,0,SUM(FAILCOUNT)) FAILCOUNT");
  EXPECT_EQ(f.mes->selects[0].condition, "BASICDATASYSID = 'BD1' ");
  EXPECT_EQ(f.mes->selects[0].extra, "");
}

TEST(GetLotYield, RoundsHalvesToEvenAndMarksTheSign) {
  struct Case {
    double samples, failures;
    const char* expected;
  };
  // 0.125 and -0.125 are exact halves that go to the even neighbour.
  const Case cases[] = {
      {200, 0, " 100"}, {3, 1, " 66.67"},    {800, 799, " 0.12"},
      {8, 9, "-12.5"},  {800, 801, "-0.12"}, {200, 200, " 0"},
  };
  for (const Case& c : cases) {
    RunFixture f;
    f.mes->on("EDC_PRD_FAILCOUNT", sums(Variant(c.samples), Variant(c.failures)));
    EXPECT_EQ(getLotYield(f.run, "BD1"), c.expected) << c.samples << "/" << c.failures;
  }
}

TEST(GetLotYield, AZeroSampleSumIsATracedDivisionByZero) {
  RunFixture f;
  f.mes->on("EDC_PRD_FAILCOUNT", sums(Variant(0.0), Variant(0.0)));
  EXPECT_EQ(getLotYield(f.run, "BD1"), "");
  ASSERT_EQ(f.trace->entries.size(), 2u);
  EXPECT_EQ(f.trace->entries[1],
            "Abnormals.getLotYield: 11:Division by zero: the SAMPLESIZE sum of basic data 'BD1' "
            "is 0");
}

TEST(GetLotYield, NoRowGivesEmptyAndAFailingQueryEndsTheRun) {
  RunFixture f;
  f.mes->on("EDC_PRD_FAILCOUNT", Answer{{"SAMPLESIZE", "FAILCOUNT"}, {}});
  EXPECT_EQ(getLotYield(f.run, "BD1"), "");
  EXPECT_EQ(f.trace->entries.size(), 1u);

  RunFixture failing;
  failing.mes->failOn("EDC_PRD_FAILCOUNT", AutomationError(-942, "ORA-00942"));
  EXPECT_THROW(getLotYield(failing.run, "BD1"), RunEnded);
  EXPECT_EQ(failing.trace->entries.back(), "Abnormals.getLotYield: -942:ORA-00942");
}

TEST(GetReasons, KeepsEachCodeOnceInFirstSeenOrder) {
  RunFixture f;
  f.mes->on("EDC_PRD_FAILREASON",
            Answer{{"REASONCODE"}, {{Variant("A")}, {Variant("B")}, {Variant("A")}}});
  EXPECT_EQ(getReasons(f.run, "FC1"), "A,B");
  ASSERT_EQ(f.mes->selects.size(), 1u);
  EXPECT_EQ(f.mes->selects[0].tables, " EDC_PRD_FAILCOUNT_SITE C, EDC_PRD_FAILREASON D");
  EXPECT_EQ(f.mes->selects[0].columns, "D.REASONCODE");
  EXPECT_EQ(f.mes->selects[0].condition,
            "C.FAILCOUNTSYSID = 'FC1'  AND D.FAILCOUNTSITESYSID = C.SYSID");
  EXPECT_EQ(f.mes->selects[0].extra, "");
}

TEST(GetReasons, NoCodeGivesEmpty) {
  RunFixture f;
  EXPECT_EQ(getReasons(f.run, "FC1"), "");
}

TEST(GetReasons, QuotesInTheIdAreDoubled) {
  RunFixture f;
  getReasons(f.run, "F'C");
  EXPECT_EQ(f.mes->selects[0].condition,
            "C.FAILCOUNTSYSID = 'F''C'  AND D.FAILCOUNTSITESYSID = C.SYSID");
}

TEST(EdcLookups, WithoutATimeVersionAnswerTheFixedTextAndReadNothing) {
  RunFixture f;
  f.state.timeVersionSysid = "";
  EXPECT_EQ(getLotYield(f.run, "BD1"), kNeedTimeVersion);
  EXPECT_EQ(getReasons(f.run, "FC1"), kNeedTimeVersion);
  EXPECT_EQ(getWaferId(f.run, "LOT1", "1"), kNeedTimeVersion);
  EXPECT_TRUE(f.mes->statements.empty());
  EXPECT_EQ(f.trace->entries, (std::vector<std::string>{"Abnormals.getLotYield: Executing...",
                                                        "Abnormals.getReasons: Executing...",
                                                        "Abnormals.getWaferId: Executing..."}));
}

TEST(LeadingNumber, TakesTheNumberAtTheStartOfTheText) {
  EXPECT_EQ(leadingNumber(" 97.5"), 97.5);
  EXPECT_EQ(leadingNumber("-12.5"), -12.5);
  EXPECT_EQ(leadingNumber(""), 0);
  EXPECT_EQ(leadingNumber(kNeedTimeVersion), 0);
  EXPECT_EQ(leadingNumber("12abc"), 12);
  EXPECT_EQ(leadingNumber(".5"), 0.5);
  EXPECT_EQ(leadingNumber("1e2x"), 100);
  EXPECT_EQ(leadingNumber("3e"), 3);
  EXPECT_EQ(leadingNumber("-"), 0);
  EXPECT_EQ(leadingNumber("+4"), 4);
}

}  // namespace
}  // namespace velmora
