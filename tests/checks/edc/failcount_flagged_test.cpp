#include <gtest/gtest.h>

#include "checks/edc/failcount.hpp"
#include "checks/edc/failcount_script.hpp"

namespace velmora {
namespace {

using namespace velmora::testing;

const char* const kFlaggedStatement =
    "SELECT A.EQPID,A.SYSID BASICDATASYSID,B.SYSID FAILCOUNTSYSID,B.VIOLATIONFLAG, "
    "ROUND((B.SAMPLESIZE - B.FAILCOUNT ) / B.SAMPLESIZE * 100,2) WAFERYIELD,B.WAFERSEQ,A.FLAG  "
    "FROM EDC_PRD_BASICDATA A,EDC_PRD_FAILCOUNT B  WHERE A.TIMEVERSIONSYSID='TV1'  AND "
    "A.EDCITEMSYSID='I1'  AND (A.FLAG='1' OR A.FLAG='0') AND A.SYSID=B.BASICDATASYSID(+) ";

// A type "5" item with a wafer-yield limit of 95 and a lot-yield limit of 98.
void setFlaggedItem(RunFixture& f) {
  f.setItem("I1", "AUG", Variant("5"), {{"LSL", Variant(95.0)}, {"USL", Variant(98.0)}});
}

// The row of a basic-data record without fail-count records (outer join).
std::vector<Variant> withoutFailCounts(const char* basicDataId) {
  return {Variant("EQP1"), Variant(basicDataId), Variant::null(),
          Variant::null(), Variant::null(),      Variant::null()};
}

TEST(FlaggedFailCountCheck, WithoutBasicDataTheItemGoesToTheInspectionCheck) {
  RunFixture f;
  setFlaggedItem(f);
  EXPECT_EQ(runFlaggedFailCountCheck(f.run), FlaggedOutcome::kNoData);
  EXPECT_EQ(f.mes->statements, std::vector<std::string>{kFlaggedStatement});
  EXPECT_EQ(flagText(f.state.flags.IsAUGCollect), "N");
}

TEST(FlaggedFailCountCheck, UnflaggedFirstRowCountsAsCollectedAndJudgesNothing) {
  RunFixture f;
  setFlaggedItem(f);
  f.mes->on(
      kFlaggedQuery,
      flaggedRows(
          {{failRow(Variant(1), Variant("FC1"), Variant("2"), Variant(50.0)), Variant("0")},
           {failRow(Variant(2), Variant("FC2"), Variant("3"), Variant(50.0)), Variant("1")}}));
  scriptCapability(*f.mes, "1");
  EXPECT_EQ(runFlaggedFailCountCheck(f.run), FlaggedOutcome::kUnflagged);
  EXPECT_EQ(flagText(f.state.flags.IsAUGCollect), "Y");
  EXPECT_EQ(f.mes->statements.size(), 1u) << "no capability check either";
  EXPECT_TRUE(f.rows().empty());
  EXPECT_EQ(f.run.lotDeviations, "");
}

TEST(FlaggedFailCountCheck, LotYieldEntryAndCapabilityLeaveIsEdcFailAlone) {
  RunFixture f;
  setFlaggedItem(f);
  f.mes->on(kFlaggedQuery,
            flaggedRows({{failRow(Variant(1), Variant("FC1"), Variant("1"), Variant(100.0)),
                          Variant("1")}}));
  scriptLotYield(*f.mes, 200, 5);
  scriptCapability(*f.mes, "1");
  EXPECT_EQ(runFlaggedFailCountCheck(f.run), FlaggedOutcome::kJudged);
  EXPECT_EQ(f.run.lotDeviations, "AUG/LLY,AUG/OFS");
  EXPECT_EQ(flagText(f.state.flags.IsEDCFail), "N");
  EXPECT_EQ(flagText(f.state.flags.IsAUGCollect), "Y");
  EXPECT_EQ(flagText(f.state.flags.IsAUGFail), "N");
  EXPECT_EQ(f.mes->statements[0], kFlaggedStatement);
}

TEST(FlaggedFailCountCheck, WaferFindingsIncludeZeroFailCountsAndSetIsEdcFail) {
  RunFixture f;
  setFlaggedItem(f);
  f.mes->on(
      kFlaggedQuery,
      flaggedRows(
          {{failRow(Variant(1), Variant("FC1"), Variant("2"), Variant(100.0)), Variant("1")},
           {failRow(Variant(2), Variant("FC2"), Variant::null(), Variant(90.0)), Variant("0")}}));
  scriptLotYield(*f.mes, 200, 20);
  scriptReasons(*f.mes, "FC2", {"X"});
  EXPECT_EQ(runFlaggedFailCountCheck(f.run), FlaggedOutcome::kJudged);
  // The record with no failure takes part (its flag "2"); so does the later unflagged row.
  EXPECT_EQ(findings(f), (std::vector<std::string>{"OFC", "X"}));
  EXPECT_EQ(flagText(f.state.flags.IsEDCFail), "Y");
  EXPECT_EQ(flagText(f.state.flags.IsAUGFail), "N");
  EXPECT_EQ(f.rows()[0][col::kWaferYield], Variant(100.0));
  EXPECT_EQ(f.rows()[1][col::kLotYield], Variant(90.0));
  EXPECT_EQ(f.run.lotDeviations, "AUG/LLY");
}

// A basic-data record without fail-count records gives a row of Nulls; it is no wafer and must
// not end the run. The other records' wafers are still judged, and the lot steps still run on
// the first row's record.
TEST(FlaggedFailCountCheck, RowsWithoutFailCountRecordsAreNoWafers) {
  RunFixture f;
  setFlaggedItem(f);
  f.mes->on(
      kFlaggedQuery,
      flaggedRows({{failRow(Variant(1), Variant("FC1"), Variant("3"), Variant(99.0)), Variant("1")},
                   {withoutFailCounts("BD2"), Variant("1")}}));
  scriptLotYield(*f.mes, 100, 1);
  EXPECT_EQ(runFlaggedFailCountCheck(f.run), FlaggedOutcome::kJudged);
  EXPECT_EQ(findings(f), std::vector<std::string>{"OFCS"});
  EXPECT_EQ(f.mes->count(kWaferIdSelect), 1);
  EXPECT_EQ(f.mes->count(kWaferLimits), 1);

  RunFixture first;
  setFlaggedItem(first);
  first.mes->on(kFlaggedQuery, flaggedRows({{withoutFailCounts("BD1"), Variant("1")}}));
  scriptLotYield(*first.mes, 0, 0);
  scriptCapability(*first.mes, "2");
  EXPECT_EQ(runFlaggedFailCountCheck(first.run), FlaggedOutcome::kJudged);
  EXPECT_TRUE(first.rows().empty());
  EXPECT_EQ(first.mes->count(kWaferIdSelect), 0);
  // No fail counts: the lot yield lookup fails (traced), counts as 0 and is below USL.
  EXPECT_EQ(first.mes->count("BASICDATASYSID = 'BD1'"), 1);
  EXPECT_EQ(first.run.lotDeviations, "AUG/LLY,AUG/OFCS");
}

}  // namespace
}  // namespace velmora
