#include "checks/edc/cpcpk.hpp"

#include <gtest/gtest.h>

#include "support/run_fixture.hpp"

namespace velmora {
namespace {

using testing::Answer;
using testing::RunFixture;

Answer marks(std::vector<Variant> values) {
  Answer a{{"CPCPKVIOLATION"}, {}};
  for (auto& v : values) a.rows.push_back({v});
  return a;
}

TEST(CpCpkCheck, SendsTheExactStatement) {
  RunFixture f;
  runCpCpkCheck(f.run, kCpCpkAfterSpc);
  ASSERT_EQ(f.mes->statements.size(), 1u);
  EXPECT_EQ(f.mes->statements[0],
            "SELECT CPCPKVIOLATION FROM EDC_PRD_BASICDATA  WHERE TIMEVERSIONSYSID='TV1'  AND "
            "EDCITEMSYSID='I1' AND FLAG='1' AND CPCPKVIOLATION<>'0' ");
}

TEST(CpCpkCheck, NoViolationAddsNothing) {
  RunFixture f;
  runCpCpkCheck(f.run, kCpCpkAfterFailCount);
  EXPECT_EQ(f.run.lotDeviations, "");
  EXPECT_EQ(flagText(f.state.flags.IsEDCFail), "N");
}

struct MarkCase {
  const char* mark;
  const CpCpkVariant* variant;
  const char* deviations;
  const char* edcFail;
};

TEST(CpCpkCheck, EachVariantMapsMarksToItsCodes) {
  const MarkCase cases[] = {
      {"1", &kCpCpkAfterFailCount, "ITEM/OFS", "Y"}, {"2", &kCpCpkAfterFailCount, "ITEM/OFCS", "Y"},
      {"3", &kCpCpkAfterFailCount, "", "N"},         {"1", &kCpCpkAfterFlagged, "ITEM/OFS", "N"},
      {"2", &kCpCpkAfterFlagged, "ITEM/OFCS", "N"},  {"3", &kCpCpkAfterFlagged, "", "N"},
      {"1", &kCpCpkAfterSpc, "ITEM/CP", "Y"},        {"2", &kCpCpkAfterSpc, "ITEM/CPK", "Y"},
      {"3", &kCpCpkAfterSpc, "ITEM/CPCPK", "Y"},     {"9", &kCpCpkAfterSpc, "", "N"},
  };
  for (const MarkCase& c : cases) {
    RunFixture f;
    f.mes->on("CPCPKVIOLATION", marks({Variant(c.mark)}));
    runCpCpkCheck(f.run, *c.variant);
    EXPECT_EQ(f.run.lotDeviations, c.deviations) << "mark " << c.mark;
    EXPECT_EQ(flagText(f.state.flags.IsEDCFail), c.edcFail) << "mark " << c.mark;
  }
}

TEST(CpCpkCheck, OnlyTheFirstRowDecidesAndNumbersReadAsText) {
  RunFixture f;
  f.mes->on("CPCPKVIOLATION", marks({Variant(2), Variant("1")}));
  f.run.lotDeviations = "OTHER/BYL";
  runCpCpkCheck(f.run, kCpCpkAfterSpc);
  EXPECT_EQ(f.run.lotDeviations, "OTHER/BYL,ITEM/CPK");
}

TEST(CpCpkCheck, AFailingQueryReachesTheCaller) {
  RunFixture f;
  f.mes->failOn("CPCPKVIOLATION", AutomationError(-1, "ORA-00942"));
  EXPECT_THROW(runCpCpkCheck(f.run, kCpCpkAfterSpc), AutomationError);
}

TEST(CpCpkCheck, QuotesInValuesAreDoubled) {
  RunFixture f;
  f.state.timeVersionSysid = "T'V";
  runCpCpkCheck(f.run, kCpCpkAfterSpc);
  EXPECT_NE(f.mes->statements[0].find("TIMEVERSIONSYSID='T''V'"), std::string::npos);
}

}  // namespace
}  // namespace velmora
