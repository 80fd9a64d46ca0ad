#include "cli/report.hpp"
#include "cli/report_json.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace velmora::cli {
namespace {

Report sample() {
  Report r;
  r.lot = "LOT";
  r.step = "STEP";
  r.result = "ok";
  r.flags = {{{"IsEDCItem", "Y"},
              {"IsEDCCollect", "Y"},
              {"IsEDCFail", "Y"},
              {"IsAUGItem", "N"},
              {"IsAUGCollect", "N"},
              {"IsAUGFail", "N"}}};
  r.lotDevReasons = "BUMP/BYL";
  r.timeVersionSysid = "TV1";
  Abnormal a;
  a.ItemName("BUMP");
  a.CollectType("2");
  a.WaferID("W01");
  a.WaferSEQ("1");
  a.EQPID("EQ1");
  a.TA("TA1");
  a.WaferYield("96.5");
  a.LotYield("97.5");
  a.Reasons("BUMP/BYW");
  r.records.push_back(a);
  return r;
}

TEST(ReportJson, HasTheContractsKeysInOrder) {
  const auto json = nlohmann::ordered_json::parse(toJson(sample()));
  std::vector<std::string> keys;
  for (const auto& item : json.items()) keys.push_back(item.key());
  EXPECT_EQ(keys, (std::vector<std::string>{"lot", "step", "result", "flags", "LotDevReasons",
                                            "TimeVersionSysid", "records"}));
  std::vector<std::string> flags;
  for (const auto& item : json["flags"].items()) flags.push_back(item.key());
  EXPECT_EQ(flags, (std::vector<std::string>{"IsEDCItem", "IsEDCCollect", "IsEDCFail", "IsAUGItem",
                                             "IsAUGCollect", "IsAUGFail"}));
  std::vector<std::string> fields;
  for (const auto& item : json["records"][0].items()) fields.push_back(item.key());
  EXPECT_EQ(fields, (std::vector<std::string>{"ItemName", "CollectType", "WaferID", "WaferSEQ",
                                              "EQPID", "TA", "WaferYield", "LotYield", "Reasons"}));
  EXPECT_EQ(json["records"][0]["WaferYield"], "96.5");
  EXPECT_EQ(json["records"][0]["LotYield"], "97.5");
  EXPECT_EQ(json["LotDevReasons"], "BUMP/BYL");
  EXPECT_EQ(json["flags"]["IsAUGItem"], "N");
}

TEST(ReportJson, NoRecordsIsAnEmptyArrayAndTextsAreEscaped) {
  Report r = sample();
  r.records.clear();
  r.lot = "A\"B\\C";
  const auto json = nlohmann::json::parse(toJson(r));
  EXPECT_TRUE(json["records"].is_array());
  EXPECT_TRUE(json["records"].empty());
  EXPECT_EQ(json["lot"], "A\"B\\C");
}

TEST(ReportText, ShowsResultFlagsReasonsAndAnAlignedTable) {
  const std::string text = toText(sample());
  EXPECT_NE(text.find("result \"ok\""), std::string::npos);
  EXPECT_NE(text.find("IsEDCFail=Y"), std::string::npos);
  EXPECT_NE(text.find("Lot reasons: BUMP/BYL"), std::string::npos);
  EXPECT_NE(text.find("ItemName  CollectType  WaferID"), std::string::npos);
  EXPECT_NE(text.find("BUMP      2            W01"), std::string::npos);
}

TEST(ReportText, SaysWhenThereIsNothing) {
  Report r = sample();
  r.records.clear();
  r.lotDevReasons.clear();
  const std::string text = toText(r);
  EXPECT_NE(text.find("Lot reasons: (none)"), std::string::npos);
  EXPECT_NE(text.find("Records: none"), std::string::npos);
  EXPECT_EQ(text.find("did not complete"), std::string::npos);
  // A run that ended early says so before its flags.
  r.result = "";
  r.error = RunFailure{"getStation", 1, "no such table: T", "no-answer", "SELECT 1"};
  const std::string failed = toText(r);
  EXPECT_LT(failed.find("The check did not complete, after a failure in getStation: 1:no such "
                        "table: T (statement: SELECT 1)\n"),
            failed.find("Flags:"));
}

// A batch line read back is the report it was written from, failure included; a line that is not
// a batch line is refused, saying why.
TEST(ReportJson, ABatchLineReadsBackAsItsReport) {
  Report failed = emptyReport("LOT", "STEP");
  failed.error = RunFailure{"getEDCItem", -2147467259, "no such table: X", "statement", "SELECT 1"};
  for (const Report& report : {sample(), failed}) {
    auto line = nlohmann::json::parse(toJson(report));
    line["elapsed_ms"] = 1.5;
    EXPECT_EQ(toJson(reportFromLine(line.dump())), toJson(report));
  }
  for (const char* line : {"[1]", "{\"lot\": \"L\", \"step\": \"S\"}", "{\"lot\": 1}", "lot,step",
                           "{\"lot\":\"L\",\"step\":\"S\",\"result\":\"ok\",\"records\":{}}"}) {
    EXPECT_THROW(reportFromLine(line), ReportLineError) << line;
  }
}

}  // namespace
}  // namespace velmora::cli
