// Whole check runs on the demo fab (SQLite MES and inspection databases of the demo home): the
// SPC chart and comment findings of the seeded lots reach the caller as collect type "1"
// records, merged per wafer, beside the capability reasons translated for the step's station.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "support/demo_run.hpp"

namespace velmora {
namespace {

// A record as its texts: CollectType, WaferSEQ, WaferID, ItemName, EQPID, TA, LotYield,
// WaferYield, Reasons.
using RecordTexts = std::vector<std::string>;

struct DemoRun {
  std::string result;
  std::string flags;  // the six flags in interface order, e.g. "YYYNNN"
  std::string lotDevReasons;
  std::vector<RecordTexts> records;

  // The records of `collectType`, ordered by wafer sequence (the chart query has no ORDER BY,
  // so the order of first appearance is the database's).
  std::vector<RecordTexts> ofType(const std::string& collectType) const {
    std::vector<RecordTexts> out;
    for (const auto& r : records) {
      if (r[0] == collectType) out.push_back(r);
    }
    std::sort(out.begin(), out.end(), [](const RecordTexts& a, const RecordTexts& b) {
      return std::stoi(a[1]) < std::stoi(b[1]);
    });
    return out;
  }
};

DemoRun runDemo(const std::string& lot, const std::string& step) {
  const testing::CheckOutcome outcome = testing::runCheckOnHome(lot, step);
  DemoRun run{outcome.result, outcome.flags, outcome.lotDevReasons, {}};
  for (const Abnormal& r : outcome.records) {
    run.records.push_back({r.CollectType(), r.WaferSEQ(), r.WaferID(), r.ItemName(), r.EQPID(),
                           r.TA(), r.LotYield(), r.WaferYield(), r.Reasons()});
  }
  return run;
}

bool startsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

TEST(SpcDemo, PhotoStepMergesChartAndCommentFindingsOfOneWafer) {
  // IPQC photo station: the CPCPK mark translates, slot 8 has chart violations on two items and
  // a comment; a chart row with one empty flag and one "0" (slot 16) makes no record, a row with
  // both flags empty (slot 20) none either. The comment's OFC of slot 8 stays beside the OFCS
  // entry: the summary compares whole entries.
  const DemoRun run = runDemo("LOT-A04", "S-PHO-020");
  EXPECT_EQ(run.result, "ok");
  EXPECT_EQ(run.flags, "YYYNNN");
  EXPECT_EQ(run.lotDevReasons, "CD WIDTH/IPQIDDM25");
  EXPECT_EQ(
      run.records,
      (std::vector<RecordTexts>{
          {"1", "8", "08-A04", "RESIST THICKNESS,CD WIDTH", "CTK-02,SEM-02", "OPR0611", "", "",
           "RESIST THICKNESS/OFCS,RESIST THICKNESS/R1,RESIST THICKNESS/OFC,CD WIDTH/OFS,"
           "CD WIDTH/R3"}}));
}

TEST(SpcDemo, FinalQcReportsEveryChartAndCommentWafer) {
  const DemoRun run = runDemo("LOT-A01", "S-FQC-100");
  EXPECT_EQ(run.result, "ok");
  EXPECT_EQ(run.flags.substr(0, 3), "YYY");
  // Both capability marks of the SPC items become the FQC reason code, ahead of the other items'.
  EXPECT_TRUE(startsWith(run.lotDevReasons, "BUMP HEIGHT/FQCIDT021,BUMP DIAMETER/FQCIDT021,"))
      << run.lotDevReasons;
  EXPECT_EQ(
      run.ofType("1"),
      (std::vector<RecordTexts>{
          {"1", "3", "03-A01", "BUMP HEIGHT,BUMP DIAMETER", "BHM-01,BDM-02", "OPR0417", "", "",
           "BUMP HEIGHT/OFS,BUMP HEIGHT/R2,BUMP HEIGHT/OFC,BUMP DIAMETER/OFC,"
           "BUMP DIAMETER/R1"},
          {"1", "5", "05-A01", "BUMP HEIGHT", "BHM-01", "OPR0417", "", "", "BUMP HEIGHT/OFC"},
          {"1", "7", "07-A01", "BUMP HEIGHT", "BHM-01", "OPR0417", "", "", "BUMP HEIGHT/OFC"},
          {"1", "9", "09-A01", "BUMP HEIGHT", "BHM-01", "OPR0417", "", "",
           "BUMP HEIGHT/OFCS,BUMP HEIGHT/R1,BUMP HEIGHT/R5"},
          {"1", "15", "15-A01", "BUMP HEIGHT", "BHM-01", "OPR0417", "", "", "BUMP HEIGHT/R6"}}));
  // Slot 3's fail-count findings stay a record of their own (collect type "2").
  const auto failCounts = run.ofType("2");
  EXPECT_TRUE(std::any_of(failCounts.begin(), failCounts.end(),
                          [](const RecordTexts& r) { return r[1] == "3" && r[2] == "03-A01"; }));
}

TEST(SpcDemo, EtchStepListsACommentWaferOnceAndKeepsFailCountsApart) {
  // IPQC without photo or plating: the CPK mark is dropped. Slot 5 has a chart violation and a
  // comment entry (one record) and a fail-count finding (another); slot 6 is in both sections
  // of the comment.
  const DemoRun run = runDemo("LOT-A04", "S-ETC-040");
  EXPECT_EQ(run.result, "ok");
  EXPECT_EQ(run.lotDevReasons.find("ETCH DEPTH/"), std::string::npos) << run.lotDevReasons;
  EXPECT_EQ(
      run.ofType("1"),
      (std::vector<RecordTexts>{
          {"1", "5", "05-A04", "ETCH DEPTH", "DEP-03", "OPR0702", "", "",
           "ETCH DEPTH/OFS,ETCH DEPTH/R2,ETCH DEPTH/R7,ETCH DEPTH/OFC"},
          {"1", "6", "06-A04", "ETCH DEPTH", "DEP-03", "OPR0702", "", "", "ETCH DEPTH/OFC"}}));
  const auto failCounts = run.ofType("2");
  ASSERT_FALSE(failCounts.empty());
  EXPECT_EQ(failCounts[0][1], "5");
}

TEST(SpcDemo, IncomingStepDropsTheCapabilityMarkButKeepsTheWafers) {
  const DemoRun run = runDemo("LOT-A03", "S-IQC-010");
  EXPECT_EQ(run.result, "ok");
  EXPECT_EQ(run.lotDevReasons.find("INCOMING THICKNESS/"), std::string::npos) << run.lotDevReasons;
  EXPECT_EQ(run.ofType("1"), (std::vector<RecordTexts>{
                                 {"1", "4", "04-A03", "INCOMING THICKNESS", "THK-01", "OPR0388", "",
                                  "", "INCOMING THICKNESS/OFC,INCOMING THICKNESS/R1"},
                                 {"1", "12", "12-A03", "INCOMING THICKNESS", "THK-01", "OPR0388",
                                  "", "", "INCOMING THICKNESS/OFC"}}));
}

}  // namespace
}  // namespace velmora
