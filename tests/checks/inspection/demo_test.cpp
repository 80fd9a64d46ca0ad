// Whole check runs on the demo fab (SQLite MES and inspection databases of the demo home,
// the inspection "server" reached through SQLOLEDB.1 mapped to sqlite): the inspection findings
// of the seeded lots at stations of each class, a type "5" item judged on inspection data with
// and without a time version, and a home without its inspection database.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/demo_run.hpp"
#include "support/temp_sqlite.hpp"

namespace velmora {
namespace {

// A record as its texts: WaferSEQ, WaferID, CollectType, ItemName, EQPID, TA, LotYield,
// WaferYield, Reasons.
using RecordTexts = std::vector<std::string>;

struct DemoRun {
  std::string result;
  std::string flags;  // the six flags in interface order, e.g. "YYYNNN"
  std::string lotDevReasons;
  std::vector<RecordTexts> records;

  // The records whose TA is `ta` (inspection records carry the inspection's InsertUser).
  std::vector<RecordTexts> withTa(const std::string& ta) const {
    std::vector<RecordTexts> out;
    for (const auto& r : records) {
      if (r[5] == ta) out.push_back(r);
    }
    return out;
  }
};

// Runs one check of `lot` at `step` against the home `home`, wired as the command line does it.
DemoRun runDemo(const std::string& lot, const std::string& step,
                const std::string& home = VELMORA_DEMO_HOME) {
  const testing::CheckOutcome outcome = testing::runCheckOnHome(lot, step, home);
  DemoRun run{outcome.result, outcome.flags, outcome.lotDevReasons, {}};
  for (const Abnormal& r : outcome.records) {
    run.records.push_back({r.WaferSEQ(), r.WaferID(), r.CollectType(), r.ItemName(), r.EQPID(),
                           r.TA(), r.LotYield(), r.WaferYield(), r.Reasons()});
  }
  return run;
}

TEST(InspectionDemo, FqcStepReportsEveryInspectionFindingOfTheInspectionItem) {
  const DemoRun run = runDemo("LOT-A01", "S-FQC-100");
  EXPECT_EQ(run.result, "ok");
  EXPECT_EQ(run.flags, "YYYYYY");
  EXPECT_NE(run.lotDevReasons.find(
                "AOI INSPECTION/FQCIDT023,AOI INSPECTION/BYL,AOI INSPECTION_Scratch/SDL"),
            std::string::npos)
      << run.lotDevReasons;
  // Slot 02 has only the codes 99 and 200, which are no bump defects: no record.
  EXPECT_EQ(
      run.withTa("aoi.fqc01"),
      (std::vector<RecordTexts>{
          {"3", "03", "2", "AOI INSPECTION", "AOI-F01", "aoi.fqc01", "94.28", "91",
           "AOI INSPECTION/BYW,AOI INSPECTION/FQCIDT022"},
          {"10", "10", "2", "AOI INSPECTION", "AOI-F01", "aoi.fqc01", "94.28", "96",
           "AOI INSPECTION/BYW"},
          {"17", "17", "2", "AOI INSPECTION_Scratch,AOI INSPECTION_Particle", "AOI-F01",
           "aoi.fqc01", "94.28", "94", "AOI INSPECTION_Scratch/SDW,AOI INSPECTION_Particle/SDW"},
          {"24", "24", "2", "AOI INSPECTION", "AOI-F01", "aoi.fqc01", "94.28", "92.4",
           "AOI INSPECTION/BYW,AOI INSPECTION/FQCIDT022"}}));
  // The type "5" item of this lot has EDC data: it is judged on it, not on inspection data.
  for (const auto& r : run.records) {
    if (r[3].find("PROBE MARK") != std::string::npos) {
      EXPECT_EQ(r[5], "OPR0417") << r[3];
    }
  }
}

TEST(InspectionDemo, IqcStepTranslatesYieldFindingsAndSkipsAnUnknownWafer) {
  const DemoRun run = runDemo("LOT-A03", "S-IQC-010");
  EXPECT_EQ(run.result, "ok");
  EXPECT_EQ(run.flags, "YYYYYY");
  EXPECT_EQ(run.lotDevReasons, "INCOMING AOI/IQCVMR999,INCOMING AOI/BYL,INCOMING AOI_Scratch/SDL");
  EXPECT_EQ(run.withTa("aoi.iqc01"),
            (std::vector<RecordTexts>{{"6", "06", "2", "INCOMING AOI", "AOI-I01", "aoi.iqc01",
                                       "93.4", "95", "INCOMING AOI/BYW,INCOMING AOI/IQCVMR998"},
                                      {"13", "13", "2", "INCOMING AOI_Scratch", "AOI-I01",
                                       "aoi.iqc01", "93.4", "97", "INCOMING AOI_Scratch/SDW"}}));
}

TEST(InspectionDemo, IpqcPlatingStepDropsYieldFindingsAndKeepsDefectFindings) {
  const DemoRun run = runDemo("LOT-A04", "S-PLT-030");
  EXPECT_EQ(run.result, "ok");
  EXPECT_EQ(run.flags, "YYYYYY");
  EXPECT_EQ(run.lotDevReasons, "PILLAR HEIGHT/IPQIDPM03,PLATING AOI/BYL,PLATING AOI_Particle/SDL");
  EXPECT_EQ(run.records, (std::vector<RecordTexts>{
                             {"9", "09", "2", "PLATING AOI", "AOI-P02", "aoi.ipqc02", "95.75", "96",
                              "PLATING AOI/BYW"},
                             {"15", "15", "2", "PLATING AOI_Particle", "AOI-P02", "aoi.ipqc02",
                              "95.75", "97.5", "PLATING AOI_Particle/SDW"}}));
}

TEST(InspectionDemo, TypeFiveWithoutEdcDataFallsBackToInspectionData) {
  const DemoRun run = runDemo("LOT-A03", "S-FQC-100");
  EXPECT_EQ(run.result, "ok");
  EXPECT_EQ(run.flags, "YYNYYN");  // the lot-yield finding alone does not set IsAUGFail
  EXPECT_EQ(run.lotDevReasons, "PROBE MARK/FQCIDT023");
  EXPECT_TRUE(run.records.empty());
}

TEST(InspectionDemo, TypeFiveWithoutTimeVersionIsJudgedOnInspectionData) {
  const DemoRun run = runDemo("LOT-B01", "S-FQC-100");
  EXPECT_EQ(run.result, "ok");
  EXPECT_EQ(run.flags, "YNNYYY");  // the wafer-yield finding sets IsAUGFail
  EXPECT_EQ(run.lotDevReasons, "PROBE MARK/FQCIDT023");
  EXPECT_EQ(run.records,
            (std::vector<RecordTexts>{{"11", "11", "2", "PROBE MARK", "AOI-F01", "aoi.fqc01",
                                       "95.2", "91", "PROBE MARK/FQCIDT022"},
                                      {"18", "18", "2", "PROBE MARK_Scratch", "AOI-F01",
                                       "aoi.fqc01", "95.2", "96", "PROBE MARK_Scratch/SDW"}}));
}

TEST(InspectionDemo, AHomeWithoutItsInspectionDatabaseEndsWithSqlFail) {
  testing::TempFolder home;
  const std::filesystem::path demo = VELMORA_DEMO_HOME;
  std::filesystem::create_directories(home.path() / "INI");
  std::filesystem::copy_file(demo / "INI" / "MESconfig.ini", home.path() / "INI" / "MESconfig.ini");
  std::filesystem::copy_file(demo / "mes.db", home.path() / "mes.db");

  const DemoRun run = runDemo("LOT-A01", "S-FQC-100", home.path().string());
  EXPECT_EQ(run.result, "SqlFail");
  EXPECT_EQ(run.flags.substr(3, 1), "Y");  // IsAUGItem of the inspection item that failed
  EXPECT_EQ(run.lotDevReasons, "");
  EXPECT_TRUE(run.records.empty());
}

}  // namespace
}  // namespace velmora
