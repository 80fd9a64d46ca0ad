#include "checks/inspection/defects.hpp"

#include <gtest/gtest.h>

#include "checks/inspection/inspection_db.hpp"
#include "checks/inspection/statements.hpp"
#include "common/procedure.hpp"
#include "support/scripted_mes.hpp"

namespace velmora {
namespace {

using testing::InspectionDb;
using testing::RecordingTrace;

// A lot record LOT1 at IQC with `die` dies per wafer and `samples` wafers.
std::string lotRecord(int record, const std::string& die, const std::string& samples) {
  return "INSERT INTO AUGUSTLOTDATA (RecordID, RUNCARD, STATION, InspectionDie, SelectedSamples) "
         "VALUES (" +
         std::to_string(record) + ", 'LOT1', 'IQC', " + die + ", " + samples + ");";
}

std::string defect(int record, int wafer, int code, const std::string& qty) {
  return "INSERT INTO AugustDefectSum VALUES (" + std::to_string(record) + ", " +
         std::to_string(wafer) + ", " + std::to_string(code) + ", " + qty + ");";
}

struct DefectFixture {
  DefectFixture() { context.trace = trace; }

  std::vector<std::string> entries(const std::string& procedure) const {
    std::vector<std::string> out;
    for (const auto& e : trace->entries) {
      if (e.rfind("Abnormals." + procedure + ": ", 0) == 0) out.push_back(e);
    }
    return out;
  }

  InspectionDb db;
  Context context;
  std::shared_ptr<RecordingTrace> trace = std::make_shared<RecordingTrace>();
};

TEST(AugDefects, EachPredicateSendsItsExactStatement) {
  DefectFixture f;
  const auto connection = f.db.open();
  chkAugLotBump(f.context, 1.0f, "LOT1", "IQC", connection);
  chkAugLotSingle(f.context, 1.0f, "LOT1", "IQC", "150", connection);
  chkAugWaferBump(f.context, 1.0f, "LOT1", "IQC", Variant(7), connection);
  chkAugWaferSingle(f.context, 1.0f, "LOT1", "IQC", "150", Variant("7"), connection);
  const std::string lotHead =
      "SELECT SUM(B.DefectQty) as DefectQty,(A.InspectionDie * A.SelectedSamples) AS TotalDie  "
      "FROM AugustLotData A,AugustDefectSum B  WHERE A.Runcard='LOT1' AND A.RecordID=B.RecordID  "
      "AND A.Station='IQC' ";
  const std::string waferHead =
      "SELECT SUM(B.DefectQty) as DefectQty,A.InspectionDie AS TotalDie  FROM AugustLotData "
      "A,AugustDefectSum B  WHERE A.Runcard='LOT1' AND A.RecordID=B.RecordID  AND "
      "A.Station='IQC' ";
  EXPECT_EQ(f.db.statements,
            (std::vector<std::string>{
                lotHead + " AND B.DefectCode BETWEEN 100 AND 199  GROUP BY A.InspectionDie, "
                          "A.SelectedSamples ",
                lotHead + " AND B.DefectCode=150  GROUP BY A.InspectionDie, A.SelectedSamples ",
                waferHead + " AND B.DefectCode BETWEEN 100 AND 199  AND B.WaferId=7  GROUP BY "
                            "A.InspectionDie ",
                waferHead + " AND B.DefectCode=150  AND B.WaferId=7  GROUP BY A.InspectionDie "}));
  EXPECT_EQ(
      f.trace->entries,
      (std::vector<std::string>{
          "Abnormals.chkAugLotBump: Executing...", "Abnormals.chkAugLotSingle: Executing...",
          "Abnormals.chkAugWaferBump: Executing...", "Abnormals.chkAugWaferSingle: Executing..."}));
}

TEST(AugDefects, OnlyARateStrictlyAboveTheLimitIsAFinding) {
  DefectFixture f;
  // 3 bump defects on 100 dies: a rate of exactly 3 percent.
  f.db.exec(lotRecord(1, "100", "1") + defect(1, 1, 150, "3"));
  const auto connection = f.db.open();
  EXPECT_FALSE(chkAugLotBump(f.context, 3.0f, "LOT1", "IQC", connection));
  EXPECT_TRUE(chkAugLotBump(f.context, 2.99f, "LOT1", "IQC", connection));
  EXPECT_FALSE(chkAugWaferBump(f.context, 3.0f, "LOT1", "IQC", Variant(1), connection));
  EXPECT_TRUE(chkAugWaferBump(f.context, 2.99f, "LOT1", "IQC", Variant(1), connection));
}

TEST(AugDefects, TheLimitIsComparedAsItsWidenedSinglePrecisionValue) {
  DefectFixture f;
  // 1 defect on 1000 dies: 1 / 1000 * 100 is the double 0.1, below the float 0.1 widened.
  f.db.exec(lotRecord(1, "1000", "1") + defect(1, 1, 150, "1"));
  const auto connection = f.db.open();
  EXPECT_FALSE(chkAugLotSingle(f.context, 0.1f, "LOT1", "IQC", "150", connection));
  EXPECT_FALSE(chkAugWaferSingle(f.context, 0.1f, "LOT1", "IQC", "150", Variant(1), connection));
  EXPECT_TRUE(chkAugLotSingle(f.context, 0.0999f, "LOT1", "IQC", "150", connection));
}

TEST(AugDefects, BumpDefectsAreTheCodes100To199) {
  DefectFixture f;
  // Codes 100 and 199 give 3 defects on 100 dies; 99 and 200 would push the rate far higher.
  f.db.exec(lotRecord(1, "100", "1") + defect(1, 1, 99, "500") + defect(1, 1, 100, "1") +
            defect(1, 1, 199, "2") + defect(1, 1, 200, "500"));
  const auto connection = f.db.open();
  EXPECT_TRUE(chkAugLotBump(f.context, 2.5f, "LOT1", "IQC", connection));
  EXPECT_FALSE(chkAugLotBump(f.context, 3.0f, "LOT1", "IQC", connection));
  EXPECT_TRUE(chkAugWaferBump(f.context, 2.5f, "LOT1", "IQC", Variant(1), connection));
  EXPECT_FALSE(chkAugWaferBump(f.context, 3.0f, "LOT1", "IQC", Variant(1), connection));
}

TEST(AugDefects, LotCallsSumEveryWaferOverAllSamplesAndWaferCallsOneWafer) {
  DefectFixture f;
  // Lot: 5 defects of code 150 on 2 x 100 dies = 2.5 %; wafer 1: 2 on 100 = 2 %; wafer 2: 3 %.
  f.db.exec(lotRecord(1, "100", "2") + defect(1, 1, 150, "2") + defect(1, 2, 150, "3") +
            defect(1, 2, 151, "40"));
  const auto connection = f.db.open();
  EXPECT_TRUE(chkAugLotSingle(f.context, 2.4f, "LOT1", "IQC", "150", connection));
  EXPECT_FALSE(chkAugLotSingle(f.context, 2.5f, "LOT1", "IQC", "150", connection));
  EXPECT_TRUE(chkAugWaferSingle(f.context, 1.9f, "LOT1", "IQC", "150", Variant(1), connection));
  EXPECT_FALSE(chkAugWaferSingle(f.context, 2.0f, "LOT1", "IQC", "150", Variant(1), connection));
  EXPECT_TRUE(chkAugWaferSingle(f.context, 2.9f, "LOT1", "IQC", "150", Variant(2), connection));
  EXPECT_FALSE(chkAugWaferSingle(f.context, 3.0f, "LOT1", "IQC", "150", Variant(2), connection));
  // Another station or another lot has no data.
  EXPECT_FALSE(chkAugLotSingle(f.context, 0.0f, "LOT1", "FQC", "150", connection));
  EXPECT_FALSE(chkAugLotSingle(f.context, 0.0f, "LOT2", "IQC", "150", connection));
}

TEST(AugDefects, NoRowOrANullSumOrDieBaseIsNoFindingAndTracesNothingMore) {
  DefectFixture f;
  f.db.exec(lotRecord(1, "100", "1") + defect(1, 1, 150, "NULL") + lotRecord(2, "NULL", "1") +
            defect(2, 1, 160, "5"));
  const auto connection = f.db.open();
  EXPECT_FALSE(chkAugLotSingle(f.context, 0.0f, "LOT1", "IQC", "150", connection));
  EXPECT_FALSE(chkAugLotSingle(f.context, 0.0f, "LOT1", "IQC", "160", connection));
  EXPECT_FALSE(chkAugLotSingle(f.context, 0.0f, "LOT1", "IQC", "170", connection));
  EXPECT_EQ(f.trace->entries.size(), 3u);
}

TEST(AugDefects, ADieBaseOfZeroIsTracedAsADivisionByZero) {
  DefectFixture f;
  f.db.exec(lotRecord(1, "0", "1") + defect(1, 1, 150, "5"));
  EXPECT_FALSE(chkAugWaferBump(f.context, 0.0f, "LOT1", "IQC", Variant(1), f.db.open()));
  const auto entries = f.entries("chkAugWaferBump");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].rfind("Abnormals.chkAugWaferBump: 11:Division by zero", 0), 0u)
      << entries[1];
}

TEST(AugDefects, AFailingStatementIsTracedAndEndsTheRun) {
  DefectFixture f;
  // No connection at all: the command cannot run.
  EXPECT_THROW(chkAugLotBump(f.context, 0.0f, "LOT1", "IQC", nullptr), RunEnded);
  const auto entries = f.entries("chkAugLotBump");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].rfind("Abnormals.chkAugLotBump: 91:", 0), 0u) << entries[1];
}

TEST(AugDefects, QuotedValuesAreDoubled) {
  DefectFixture f;
  f.db.exec(
      "INSERT INTO AUGUSTLOTDATA (RecordID, RUNCARD, STATION, InspectionDie, SelectedSamples) "
      "VALUES (1, 'O''NEIL', 'I''Q', 100, 1);" +
      defect(1, 1, 150, "5"));
  EXPECT_TRUE(chkAugLotBump(f.context, 1.0f, "O'NEIL", "I'Q", f.db.open()));
  ASSERT_EQ(f.db.statements.size(), 1u);
  EXPECT_NE(f.db.statements[0].find("A.Runcard='O''NEIL'"), std::string::npos);
  EXPECT_NE(f.db.statements[0].find("A.Station='I''Q'"), std::string::npos);
}

// The defect code and the wafer id stand in the statement without quotes: anything but a plain
// number is refused before a statement is sent, and the error entry names it.
TEST(AugDefects, ACodeOrWaferIdThatIsNoPlainNumberIsNeverSent) {
  DefectFixture f;
  f.db.exec(lotRecord(1, "100", "1") + defect(1, 1, 150, "50"));
  const auto connection = f.db.open();
  EXPECT_FALSE(chkAugLotSingle(f.context, 0.0f, "LOT1", "IQC", "1 OR 1=1", connection));
  EXPECT_FALSE(
      chkAugWaferSingle(f.context, 0.0f, "LOT1", "IQC", "150) OR (1=1", Variant(1), connection));
  EXPECT_FALSE(chkAugWaferBump(f.context, 0.0f, "LOT1", "IQC", Variant("1 OR 1=1"), connection));
  EXPECT_FALSE(chkAugWaferBump(f.context, 0.0f, "LOT1", "IQC", Variant::null(), connection));
  EXPECT_TRUE(f.db.statements.empty());
  EXPECT_EQ(f.trace->entries[1],
            "Abnormals.chkAugLotSingle: 5:Invalid procedure call or argument: defect code '1 OR "
            "1=1' is not a plain number");
  EXPECT_EQ(f.trace->entries[3],
            "Abnormals.chkAugWaferSingle: 5:Invalid procedure call or argument: defect code '150) "
            "OR (1=1' is not a plain number");
  EXPECT_EQ(f.trace->entries[5],
            "Abnormals.chkAugWaferBump: 5:Invalid procedure call or argument: wafer id '1 OR 1=1' "
            "is not a plain number");
  EXPECT_EQ(f.trace->entries[7],
            "Abnormals.chkAugWaferBump: 5:Invalid procedure call or argument: wafer id '' is not "
            "a plain number");
  // A signed or decimal number is a number.
  EXPECT_TRUE(
      chkAugWaferSingle(f.context, 0.0f, "LOT1", "IQC", "+150.0", Variant(1.0), connection));
}

TEST(PlainNumber, AcceptsSignDigitsAndAnOptionalDecimalPartOnly) {
  for (const char* text : {"0", "150", "-7", "+7", "1.5", "007", "-0.25"}) {
    EXPECT_TRUE(isPlainNumber(text)) << text;
  }
  for (const char* text : {"", "-", "+", ".5", "5.", "1.2.3", " 1", "1 ", "1e3", "0x10", "1,5",
                           "1 OR 1=1", "1;", "--1", "1-"}) {
    EXPECT_FALSE(isPlainNumber(text)) << text;
  }
}

}  // namespace
}  // namespace velmora
