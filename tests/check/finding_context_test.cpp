#include <gtest/gtest.h>

#include "support/scripted_mes.hpp"
#include "velmora/findings.hpp"
#include "velmora/session.hpp"

namespace velmora {
namespace {

// The demo lot at its final inspection, with one record more whose fail reason code the MES does
// not know; and the same report read from a MES whose EDC items cannot be read.
struct Row {
  bool failingMes;
  int record;  // the record's index, -1 for LotDevReasons
  const char* entry;
  const char* description;
  const char* actual;
  const char* limit;
  const char* comparison;
  const char* reason;
};

TEST(FindingContext, SaysWhatEachEntryWasJudgedAgainst) {
  Session session(VELMORA_DEMO_HOME);
  Report report = session.check("LOT-A01", "S-FQC-100");
  ASSERT_EQ(report.records.size(), 13u);
  Abnormal unknown = report.records[12];
  unknown.Reasons("PROBE MARK/999");
  report.records.push_back(unknown);  // index 13

  const FindingContext demo = readFindingContext(session.mesDatabase(), report);
  testing::ScriptedMes failing;
  failing.failOn("EDC_PRD_EDCITEM", AutomationError(-2147467259, "no such table: EDC_PRD_EDCITEM"));
  const FindingContext failed = readFindingContext(failing, report);

  const Row rows[] = {
      // yields: the record's value against LSL, the lot's against USL; the station's codes
      {false, 12, "PROBE MARK/240", "Probe Mark Shift", "88", "90",
       "wafer yield below lower limit (LSL)", ""},
      {false, 8, "AOI INSPECTION/FQCIDT022", "final inspection: wafer yield below the item's limit",
       "91", "93", "wafer yield below lower limit (LSL)", ""},
      {false, -1, "FINAL VISUAL/FQCIDT023", "final inspection: lot yield below the item's limit",
       "97.1", "98", "lot yield below lower limit (USL)", ""},
      // a record merging two items keeps their lowest yields: not this item's own
      {false, 5, "FINAL VISUAL/210", "Scratch", "", "95", "wafer yield below lower limit (LSL)",
       ""},
      {false, 13, "PROBE MARK/999", "", "88", "90", "wafer yield below lower limit (LSL)", ""},
      // bump rates against CP and CPK; reason rates against the loss-rate limits
      {false, 8, "AOI INSPECTION/BYW", "wafer bump-defect rate above the item's limit", "", "0.6",
       "wafer bump-defect rate above limit (CPK)", ""},
      {false, -1, "FINAL VISUAL/BYL", "lot bump-defect rate above the item's limit", "", "0.5",
       "lot bump-defect rate above limit (CP)", ""},
      {false, 10, "AOI INSPECTION_Particle/SDW",
       "wafer defect rate of one reason above that reason's wafer limit", "", "0.5",
       "rate of reason 220 (Particle) above wafer limit (WAFERPERCENT)", "220"},
      {false, -1, "FINAL VISUAL_Scratch/SDL",
       "lot defect rate of one reason above that reason's lot limit", "", "0.5",
       "rate of reason 210 (Scratch) above lot limit (LOTPERCENT)", "210"},
      // capability, SPC rules, chart flags and comments
      {false, -1, "BUMP HEIGHT/FQCIDT021",
       "final inspection: process capability below the item's limits", "", "CP 1.33, CPK 1.33",
       "capability below limit (CP/CPK)", ""},
      {false, -1, "PROBE MARK/OFCS",
       "out of control and specification: fail-count violation flag 3, SPC chart flag 3, or "
       "capability mark 2 on fail-count data",
       "", "", "capability marked violated (mark 2) on fail-count data", ""},
      {false, 0, "BUMP HEIGHT/R2", "SPC rule R2 violated on a control chart", "", "", "SPC rule R2",
       ""},
      {false, 0, "BUMP HEIGHT/OFC",
       "out of control: fail-count violation flag 2, SPC chart flag 1, or a wafer listed in the "
       "item's comment",
       "", "", "wafer listed in the item's comment", ""},
      {false, 0, "BUMP DIAMETER/OFC",
       "out of control: fail-count violation flag 2, SPC chart flag 1, or a wafer listed in the "
       "item's comment",
       "", "", "SPC chart flagged out of control (flag 1)", ""},
      {false, 12, "PROBE MARK/OFCS",
       "out of control and specification: fail-count violation flag 3, SPC chart flag 3, or "
       "capability mark 2 on fail-count data",
       "", "", "fail-count data flagged out of control and specification (violation flag 3)", ""},
      // without the items: no limits and no MES descriptions, the records' own yields still
      {true, -1, "AOI INSPECTION/FQCIDT023", "final inspection: lot yield below the item's limit",
       "94.28", "", "lot yield below lower limit (USL)", ""},
      {true, 12, "PROBE MARK/240", "", "", "", "wafer yield below lower limit (LSL)", ""},
      {true, 12, "PROBE MARK_Probe Mark Shift/SDW",
       "wafer defect rate of one reason above that reason's wafer limit", "", "",
       "reason rate above wafer limit (WAFERPERCENT)", ""},
      {true, 8, "AOI INSPECTION/BYW", "wafer bump-defect rate above the item's limit", "", "",
       "wafer bump-defect rate above limit (CPK)", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.entry);
    const FindingContext& context = row.failingMes ? failed : demo;
    const std::vector<Judgement>& judgements =
        row.record < 0 ? context.lot : context.records.at(static_cast<std::size_t>(row.record));
    const Judgement* found = nullptr;
    for (const Judgement& j : judgements) found = j.entry == row.entry ? &j : found;
    ASSERT_NE(found, nullptr);
    const std::string entry = row.entry;
    EXPECT_EQ(found->code, entry.substr(entry.rfind('/') + 1));
    EXPECT_EQ(found->description, row.description);
    EXPECT_EQ(found->actual, row.actual);
    EXPECT_EQ(found->limit, row.limit);
    EXPECT_EQ(found->comparison, row.comparison);
    EXPECT_EQ(found->reason, row.reason);
    if (!row.failingMes && *row.description != '\0') {
      EXPECT_EQ(context.descriptions.at(found->code), row.description);
    }
  }

  // One judgement per entry, in order; the loss-rate reasons are described too.
  ASSERT_EQ(demo.records.size(), report.records.size());
  EXPECT_EQ(demo.lot.size(), 11u);
  EXPECT_EQ(demo.records[0].size(), 5u);
  EXPECT_EQ(demo.descriptions.at("220"), "Particle");
  EXPECT_EQ(demo.error, "");
  // The failure names the statement, and nothing more is asked of that database.
  EXPECT_NE(failed.error.find("no such table: EDC_PRD_EDCITEM"), std::string::npos);
  EXPECT_NE(failed.error.find("SELECT B.SYSID PRODUCTEDCSYSID"), std::string::npos);
  EXPECT_EQ(failing.statements.size(), 1u);

  // An empty report asks nothing.
  testing::ScriptedMes untouched;
  Report empty;
  empty.records.resize(2);
  const FindingContext none = readFindingContext(untouched, empty);
  EXPECT_TRUE(none.lot.empty() && none.descriptions.empty() && none.error.empty());
  EXPECT_EQ(none.records.size(), 2u);
  EXPECT_TRUE(untouched.statements.empty());
}

}  // namespace
}  // namespace velmora
