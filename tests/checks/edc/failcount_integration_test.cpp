// Whole check runs on the demo fab (the demo home's SQLite databases, wired as the command line
// wires them): the findings of the fail-count items (type "3") and of the items of type "5"
// judged on their fail counts reach the caller as lot reasons and collect type "2" records.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "support/demo_run.hpp"

namespace velmora {
namespace {

// A record as its texts: WaferSEQ, WaferID, EQPID, TA, LotYield, WaferYield, Reasons.
using RecordTexts = std::vector<std::string>;

struct DemoResult {
  std::string result;
  std::string flags;  // the six flags in interface order, e.g. "YYYNNN"
  std::string lotDevReasons;
  std::vector<RecordTexts> failCountRecords;  // collect type "2" with an MES wafer id
};

DemoResult runDemo(const std::string& lot, const std::string& step) {
  const testing::CheckOutcome outcome = testing::runCheckOnHome(lot, step);
  DemoResult out{outcome.result, outcome.flags, outcome.lotDevReasons, {}};
  for (const Abnormal& r : outcome.records) {
    // Fail-count findings carry the MES wafer id ("03-A01"); inspection findings the slot only.
    if (r.CollectType() != "2" || r.WaferID().find('-') == std::string::npos) continue;
    out.failCountRecords.push_back(
        {r.WaferSEQ(), r.WaferID(), r.EQPID(), r.TA(), r.LotYield(), r.WaferYield(), r.Reasons()});
  }
  return out;
}

// The entries of a lot reason list that belong to `item` (its name, or its name and "_").
std::string entriesOf(const std::string& list, const std::string& item) {
  std::string out;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t comma = list.find(',', start);
    if (comma == std::string::npos) comma = list.size();
    const std::string entry = list.substr(start, comma - start);
    if (entry.rfind(item + "/", 0) == 0 || entry.rfind(item + "_", 0) == 0) {
      out += (out.empty() ? "" : ",") + entry;
    }
    start = comma + 1;
  }
  return out;
}

TEST(FailCountDemo, MainLotReportsEveryFailCountFinding) {
  const DemoResult run = runDemo("LOT-A01", "S-FQC-100");
  EXPECT_EQ(run.result, "ok");
  EXPECT_EQ(run.flags, "YYYYYY");
  // FINAL VISUAL (type "3"): BYL, SDL, LLY (translated at FQC), then the capability mark.
  EXPECT_EQ(entriesOf(run.lotDevReasons, "FINAL VISUAL"),
            "FINAL VISUAL/BYL,FINAL VISUAL_Scratch/SDL,FINAL VISUAL/FQCIDT023,FINAL VISUAL/OFS");
  // PROBE MARK (type "5" with fail counts): LLY and the capability mark of such items.
  EXPECT_EQ(entriesOf(run.lotDevReasons, "PROBE MARK"), "PROBE MARK/FQCIDT023,PROBE MARK/OFCS");

  const std::vector<RecordTexts> expected = {
      {"3", "03-A01", "AVI-03,PRB-02", "OPR0417", "92.33", "89",
       "FINAL VISUAL/BYW,FINAL VISUAL/101,FINAL VISUAL/210,FINAL VISUAL/102,FINAL VISUAL/OFC,"
       "PROBE MARK/240"},
      {"5", "05-A01", "AVI-03", "OPR0417", "97.1", "97.5", "FINAL VISUAL_Particle/SDW"},
      {"8", "08-A01", "AVI-03", "OPR0417", "97.1", "95.5",
       "FINAL VISUAL_Scratch/SDW,FINAL VISUAL/OFCS"},
      {"14", "14-A01", "PRB-02", "OPR0417", "92.33", "88",
       "PROBE MARK_Probe Mark Shift/SDW,PROBE MARK/240,PROBE MARK/OFCS"},
  };
  EXPECT_EQ(run.failCountRecords, expected);
}

TEST(FailCountDemo, FailCountItemAtAnIpqcStep) {
  // ETCH VISUAL: lot scratch above its limit, LLY dropped at this station class, slot 5 below
  // its yield limit (its reasons), slot 10 flag "2"; capability mark "3" gives nothing.
  const DemoResult run = runDemo("LOT-A04", "S-ETC-040");
  EXPECT_EQ(run.result, "ok");
  EXPECT_EQ(run.flags, "YYYNNN");
  EXPECT_EQ(run.lotDevReasons, "ETCH VISUAL_Scratch/SDL");
  const std::vector<RecordTexts> expected = {
      {"5", "05-A04", "AVI-04", "OPR0702", "98.13", "95.2", "ETCH VISUAL/101,ETCH VISUAL/210"},
      {"10", "10-A04", "AVI-04", "OPR0702", "98.13", "99.2", "ETCH VISUAL/OFC"},
  };
  EXPECT_EQ(run.failCountRecords, expected);
}

TEST(FailCountDemo, SetAsideDataOfATypeFiveItemIsCollectedButNotJudged) {
  const DemoResult run = runDemo("LOT-A06", "S-FQC-100");
  EXPECT_EQ(run.result, "ok");
  EXPECT_EQ(run.flags, "YYNYYN");
  EXPECT_EQ(run.lotDevReasons, "");
  EXPECT_TRUE(run.failCountRecords.empty());
}

TEST(FailCountDemo, BasicDataWithoutFailCountsDoesNotEndTheRun) {
  // PROBE MARK's only record has no fail counts: no wafer, lot yield 0 below 96 (without
  // IsEDCFail), and the run ends normally.
  const DemoResult run = runDemo("LOT-A07", "S-FQC-100");
  EXPECT_EQ(run.result, "ok");
  EXPECT_EQ(run.flags, "YYNYYN");
  EXPECT_EQ(run.lotDevReasons, "PROBE MARK/FQCIDT023");
  EXPECT_TRUE(run.failCountRecords.empty());
}

TEST(FailCountDemo, CleanLotsStayClean) {
  for (const auto& [lot, step, flags] : {std::tuple{"LOT-A02", "S-FQC-100", "YYNYYN"},
                                         std::tuple{"LOT-A02", "S-IQC-010", "YYNYYN"}}) {
    const DemoResult run = runDemo(lot, step);
    EXPECT_EQ(run.result, "ok") << lot << " " << step;
    EXPECT_EQ(run.flags, flags) << lot << " " << step;
    EXPECT_EQ(run.lotDevReasons, "") << lot << " " << step;
    EXPECT_TRUE(run.failCountRecords.empty()) << lot << " " << step;
  }
}

}  // namespace
}  // namespace velmora
