#include "checks/inspection/yield.hpp"

#include <gtest/gtest.h>

#include "checks/inspection/inspection_db.hpp"
#include "support/run_fixture.hpp"

namespace velmora {
namespace {

using testing::Answer;
using testing::InspectionDb;
using testing::RunFixture;

const std::string kCount =
    "SELECT COUNT(*) FROM AUGUSTLOTDATA WHERE RUNCARD='LOT1' AND STATION='IQC' ";
const std::string kDetail =
    "SELECT B.WaferId, B.SWaferID, A.TotalGoodDieQty / (A.InspectionDie * "
    "A.SelectedSamples)*100 as LotYield , B.GoodDieQty / A.InspectionDie*100 as "
    "WaferYield,B.Machine,B.Operator,A.InsertUser  FROM AUGUSTLOTDATA A,AUGUSTWAFERDATA B  WHERE "
    "A.Runcard='LOT1' AND A.RecordID=B.RecordID  AND STATION='IQC' ";
const std::string kLotLossRates =
    "SELECT A.REASONCODE,A.LOTPERCENT,B.DESCRIPTION  FROM EDC_PRD_LOSSRATE A, EDC_PRD_REASONCODE "
    "B  WHERE A.EDCITEMSYSID='I1'  AND A.LOTPERCENT IS NOT NULL AND A.REASONCODE=B.REASONCODE ";
const std::string kWaferLossRates =
    "SELECT A.REASONCODE,A.WAFERPERCENT,B.DESCRIPTION  FROM EDC_PRD_LOSSRATE A, "
    "EDC_PRD_REASONCODE B  WHERE A.EDCITEMSYSID='I1'  AND A.WAFERPERCENT IS NOT NULL AND "
    "A.REASONCODE=B.REASONCODE ";

std::string sequence(const std::string& slot) {
  return "SELECT SEQ FROM MES_LOT_WAFERID  WHERE LOTID='LOT1' AND SUBSTR(WAFERID,1,2)='" + slot +
         "'";
}

// The ends of the predicates' defect statements, reduced to what tells them apart.
std::string lotDefects(const std::string& code) {
  return "AND B.DefectCode" + code + "  GROUP BY A.InspectionDie, A.SelectedSamples ";
}
std::string waferDefects(const std::string& code, int wafer) {
  return "AND B.DefectCode" + code + "  AND B.WaferId=" + std::to_string(wafer) +
         "  GROUP BY A.InspectionDie ";
}
const std::string kBump = " BETWEEN 100 AND 199";

// One IQC record of LOT1: 2 samples of 100 dies, lot yield 75.125 %, inserted by INS1; wafer 11
// (slot 01, M1) at 90.375 % with bump 5 %, code 301 4 %, code 302 3 %; wafer 12 (slot 02, M2)
// at 60 % with bump 1 %. Lot: bump 3 %, code 301 2 %, code 302 1.5 %.
const std::string kLot =
    "INSERT INTO AUGUSTLOTDATA VALUES (1, 'LOT1', 'IQC', 100, 2, 150.25, 'INS1', '2026-01-01');"
    "INSERT INTO AUGUSTWAFERDATA VALUES (1, 11, '01', 90.375, 'M1', 'OP1');"
    "INSERT INTO AUGUSTWAFERDATA VALUES (1, 12, '02', 60, 'M2', 'OP1');"
    "INSERT INTO AugustDefectSum VALUES (1, 11, 150, 5), (1, 11, 301, 4), (1, 11, 302, 3),"
    " (1, 12, 150, 1);";

struct YieldFixture : RunFixture {
  YieldFixture() {
    run.stationClass = "IQC";
    setItem(
        "I1", "ITEM", "4",
        {{"CP", Variant(2.5)}, {"CPK", Variant(2.0)}, {"LSL", Variant(70)}, {"USL", Variant(80)}});
  }
  // Opens the inspection connection once the test has filled the database.
  void check(const InspectionYieldVariant& variant = kInspectionItem) {
    state.inspection = db.open();
    runInspectionYieldCheck(run, variant);
  }
  void lossRates() {
    mes->on("A.LOTPERCENT IS NOT NULL",
            Answer{{"REASONCODE", "LOTPERCENT", "DESCRIPTION"},
                   {{Variant("301"), Variant(1.5), Variant("SCRATCH")},
                    {Variant("302"), Variant(2.0), Variant("PARTICLE")}}});
    mes->on("A.WAFERPERCENT IS NOT NULL",
            Answer{{"REASONCODE", "WAFERPERCENT", "DESCRIPTION"},
                   {{Variant("301"), Variant(3.5), Variant("SCRATCH")},
                    {Variant("302"), Variant(2.5), Variant("PARTICLE")}}});
  }
  void slots() {
    mes->on(sequence("01"), Answer{{"SEQ"}, {{Variant(1)}, {Variant(9)}}});
    mes->on(sequence("02"), Answer{{"SEQ"}, {{Variant("02")}}});
  }

  InspectionDb db;
};

Row row(const char* item, const char* machine, const char* seq, const char* slot, const char* code,
        double waferYield) {
  Row r;
  r[col::kItemName] = Variant(item);
  r[col::kEqpId] = Variant(machine);
  r[col::kCollectType] = Variant("2");
  r[col::kWaferSeq] = Variant(seq);
  r[col::kWaferId] = Variant(slot);
  r[col::kFinding] = Variant(code);
  r[col::kTa] = Variant("INS1");
  r[col::kLotYield] = Variant(75.12);
  r[col::kWaferYield] = Variant(waferYield);
  return r;
}

TEST(InspectionYield, EveryFindingInOrderWithEveryStatement) {
  YieldFixture f;
  f.db.exec(kLot);
  f.lossRates();
  f.slots();
  f.check();

  EXPECT_EQ(f.run.lotDeviations, "ITEM/LLY,ITEM/BYL,ITEM_SCRATCH/SDL");
  EXPECT_EQ(f.rows(), (std::vector<Row>{row("ITEM", "M1", "1", "01", "BYW", 90.38),
                                        row("ITEM_SCRATCH", "M1", "1", "01", "SDW", 90.38),
                                        row("ITEM_PARTICLE", "M1", "1", "01", "SDW", 90.38),
                                        row("ITEM", "M2", "2", "02", "WLY", 60)}));
  EXPECT_EQ(flagText(f.state.flags.IsAUGCollect), "Y");
  EXPECT_EQ(flagText(f.state.flags.IsAUGFail), "Y");

  EXPECT_EQ(f.mes->statements,
            (std::vector<std::string>{kLotLossRates, sequence("01"), kWaferLossRates,
                                      sequence("02"), kWaferLossRates}));
  const std::vector<std::string>& sent = f.db.statements;
  ASSERT_EQ(sent.size(), 11u);
  EXPECT_EQ(sent[0], kCount);
  EXPECT_EQ(sent[1], kDetail);
  const std::vector<std::string> tails = {
      lotDefects(kBump),       lotDefects("=301"),       lotDefects("=302"),
      waferDefects(kBump, 11), waferDefects("=301", 11), waferDefects("=302", 11),
      waferDefects(kBump, 12), waferDefects("=301", 12), waferDefects("=302", 12)};
  for (std::size_t i = 0; i < tails.size(); ++i) {
    const std::string& s = sent[i + 2];
    EXPECT_TRUE(s.size() >= tails[i].size() &&
                s.compare(s.size() - tails[i].size(), tails[i].size(), tails[i]) == 0)
        << s;
  }
}

TEST(InspectionYield, NoRecordAtTheStationEndsAfterTheCount) {
  YieldFixture f;
  f.db.exec(kLot);
  f.run.stationClass = "FQC";
  f.check();
  EXPECT_EQ(f.db.statements.size(), 1u);
  EXPECT_TRUE(f.mes->statements.empty());
  EXPECT_EQ(flagText(f.state.flags.IsAUGCollect), "N");
  EXPECT_EQ(flagText(f.state.flags.IsAUGFail), "N");
  EXPECT_EQ(f.run.lotDeviations, "");
  EXPECT_TRUE(f.rows().empty());
}

TEST(InspectionYield, RecordsWithoutWaferRowsOnlyMarkTheCollection) {
  YieldFixture f;
  f.db.exec("INSERT INTO AUGUSTLOTDATA VALUES (1, 'LOT1', 'IQC', 100, 2, 10, 'U', NULL);");
  f.check();
  EXPECT_EQ(f.db.statements, (std::vector<std::string>{kCount, kDetail}));
  EXPECT_TRUE(f.mes->statements.empty());
  EXPECT_EQ(flagText(f.state.flags.IsAUGCollect), "Y");
  EXPECT_EQ(flagText(f.state.flags.IsAUGFail), "N");
  EXPECT_EQ(f.run.lotDeviations, "");
}

TEST(InspectionYield, OnlyTheInspectionItemsLotYieldFindingSetsTheFailFlag) {
  for (const InspectionYieldVariant* variant :
       {&kInspectionItem, &kInspectionWithoutFailCount, &kInspectionWithoutTimeVersion}) {
    YieldFixture f;
    f.setItem("I1", "ITEM", "5", {{"USL", Variant(80)}});
    f.db.exec(kLot);
    f.check(*variant);
    EXPECT_EQ(f.run.lotDeviations, "ITEM/LLY");
    EXPECT_EQ(flagText(f.state.flags.IsAUGFail), variant->lotYieldSetsAugFail ? "Y" : "N");
  }
  EXPECT_TRUE(kInspectionItem.lotYieldSetsAugFail);
  EXPECT_FALSE(kInspectionWithoutFailCount.lotYieldSetsAugFail);
  EXPECT_FALSE(kInspectionWithoutTimeVersion.lotYieldSetsAugFail);
}

TEST(InspectionYield, YieldsEqualToTheirLimitsAreNoFinding) {
  YieldFixture f;
  f.setItem("I1", "ITEM", "4", {{"USL", Variant(75.125)}, {"LSL", Variant("60")}});
  f.db.exec(kLot);
  f.slots();
  f.check();
  EXPECT_EQ(f.run.lotDeviations, "");
  EXPECT_TRUE(f.rows().empty());
  EXPECT_EQ(flagText(f.state.flags.IsAUGFail), "N");
}

TEST(InspectionYield, AWaferMatchingNoMesWaferIsSkippedEntirely) {
  YieldFixture f;
  f.db.exec(kLot);
  f.lossRates();
  f.mes->on(sequence("01"), Answer{{"SEQ"}, {{Variant(1)}}});  // no MES wafer for slot 02
  f.check();
  for (const Row& r : f.rows()) EXPECT_EQ(r[col::kWaferId], Variant("01"));
  EXPECT_EQ(f.rows().size(), 3u);  // BYW and two SDW of wafer 11; no WLY for wafer 12
  EXPECT_EQ(f.db.count("B.WaferId=12"), 0);
  EXPECT_EQ(f.mes->count(kWaferLossRates), 1);
}

TEST(InspectionYield, ANullCpSkipsTheLotBumpTestOnly) {
  YieldFixture f;
  f.setItem("I1", "ITEM", "4", {{"CPK", Variant(2.0)}});
  f.db.exec(kLot);
  f.lossRates();
  f.slots();
  f.check();
  EXPECT_EQ(f.run.lotDeviations, "ITEM_SCRATCH/SDL");
  EXPECT_EQ(f.db.count(lotDefects(kBump)), 0);
  EXPECT_EQ(f.db.count(waferDefects(kBump, 11)), 1);
  EXPECT_EQ(f.db.count(waferDefects(kBump, 12)), 1);
  ASSERT_FALSE(f.rows().empty());
  EXPECT_EQ(f.rows()[0][col::kFinding], Variant("BYW"));
}

TEST(InspectionYield, ANullCpkSkipsTheWaferBumpTests) {
  YieldFixture f;
  f.setItem("I1", "ITEM", "4", {{"CP", Variant(2.5)}});
  f.db.exec(kLot);
  f.slots();
  f.check();
  EXPECT_EQ(f.run.lotDeviations, "ITEM/BYL");
  EXPECT_EQ(f.db.count("AND B.WaferId="), 0);
  EXPECT_TRUE(f.rows().empty());
}

TEST(InspectionYield, ANullYieldGivesNoFindingAndStaysNullInARow) {
  YieldFixture f;
  f.db.exec(
      "INSERT INTO AUGUSTLOTDATA VALUES (1, 'LOT1', 'IQC', 100, 2, NULL, NULL, NULL);"
      "INSERT INTO AUGUSTWAFERDATA VALUES (1, 11, '01', NULL, NULL, NULL);"
      "INSERT INTO AugustDefectSum VALUES (1, 11, 150, 5);");
  f.slots();
  f.check();
  EXPECT_EQ(f.run.lotDeviations, "");
  const std::vector<Row> rows = f.rows();
  ASSERT_EQ(rows.size(), 1u);
  const Row& r = rows[0];
  EXPECT_EQ(r[col::kFinding], Variant("BYW"));
  EXPECT_EQ(r[col::kEqpId], Variant(""));
  EXPECT_EQ(r[col::kTa], Variant(""));
  EXPECT_TRUE(r[col::kLotYield].isNull());
  EXPECT_TRUE(r[col::kWaferYield].isNull());
}

TEST(InspectionYield, ALossRateCodeThatIsNoNumberIsNoFinding) {
  YieldFixture f;
  f.setItem("I1", "ITEM", "4", {});
  f.db.exec(kLot);
  f.slots();
  f.mes->on("A.LOTPERCENT IS NOT NULL",
            Answer{{"REASONCODE", "LOTPERCENT", "DESCRIPTION"},
                   {{Variant("0 OR 1=1"), Variant(0.5), Variant("X")}}});
  f.check();
  EXPECT_EQ(f.run.lotDeviations, "");
  EXPECT_EQ(f.db.count("OR 1=1"), 0);
  EXPECT_EQ(flagText(f.state.flags.IsAUGFail), "N");
}

TEST(InspectionYield, FailuresOutsideThePredicatesReachTheCaller) {
  {
    YieldFixture f;
    f.db.exec(kLot);
    f.mes->failOn("EDC_PRD_LOSSRATE", AutomationError(-942, "ORA-00942"));
    EXPECT_THROW(f.check(), AutomationError);
  }
  {
    YieldFixture f;
    f.setItem("I1", "ITEM", "4", {{"CP", Variant("high")}});
    f.db.exec(kLot);
    EXPECT_THROW(f.check(), AutomationError);
  }
  {
    YieldFixture f;  // no open connection
    EXPECT_THROW(runInspectionYieldCheck(f.run, kInspectionItem), AutomationError);
  }
}

}  // namespace
}  // namespace velmora
