// velmora doctor on homes with the faults a new installation has: each planted fault is named
// on its own row, and the exit status says how bad the worst is.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>

#include "support/damaged_database.hpp"
#include "support/run_command.hpp"
#include "support/temp_sqlite.hpp"

namespace {

namespace fs = std::filesystem;
using velmora::testing::TempFolder;

struct Outcome {
  int status;
  nlohmann::json json;
};

Outcome doctor(const std::string& home) {
  const auto run = velmora::testing::runVelmora("doctor --format json --home " + home);
  return {run.status, nlohmann::json::parse(run.out, nullptr, false)};
}

// `text` with `from` replaced by `to` (once).
void replaceInFile(const std::string& path, const std::string& from, const std::string& to) {
  std::string text = velmora::testing::readBytes(path);
  const std::size_t at = text.find(from);
  ASSERT_NE(at, std::string::npos) << from;
  text.replace(at, from.size(), to);
  velmora::testing::writeText(path, text);
}

TEST(Doctor, NamesEachPlantedFaultOnItsOwnRow) {
  struct Case {
    const char* what;
    std::function<void(const TempFolder&)> plant;
    int status;
    const char* check;   // the row that names the fault ("" when all is fine)
    const char* health;  // its status
    const char* detail;  // a part of its detail
  };
  const Case cases[] = {
      {"the demo home", [](const TempFolder&) {}, 0, "", "", ""},
      {"a key of the MES client's own section",
       [](const TempFolder& h) {
         std::ofstream(h.file("INI/MESconfig.ini"), std::ios::app) << "\n[Client]\nColour=blue\n";
       },
       0, "", "", ""},
      {"a misspelt key",
       [](const TempFolder& h) {
         replaceInFile(h.file("INI/MESconfig.ini"), "Connection=", "QueryTimout=30\nConnection=");
       },
       2, "configuration file", "error", "unknown key 'QueryTimout' in section [MESDB] at line 4"},
      {"a dropped table",
       [](const TempFolder& h) {
         velmora::testing::dropTable(h.file("mes.db"), "PARM_STEP_STATION");
       },
       2, "MES tables and columns", "error", "table PARM_STEP_STATION is missing"},
      {"an unindexed link column",
       [](const TempFolder& h) {
         velmora::testing::makeDatabase(h.file("mes.db"), "DROP INDEX EDC_PRD_BASICDATA_TV_ITEM");
       },
       1, "MES link columns indexed", "warning",
       "CREATE INDEX EDC_PRD_BASICDATA_TIMEVERSIONSYSID ON EDC_PRD_BASICDATA (TIMEVERSIONSYSID);"},
      {"a bit flipped in the MES file",
       [](const TempFolder& h) {
         velmora::testing::corruptRootPage(h.file("mes.db"), "EDC_PRD_RAWDATA");
       },
       2, "MES file integrity (quick_check)", "error", "damaged"},
      {"no inspection server",
       [](const TempFolder& h) {
         replaceInFile(h.file("INI/MESconfig.ini"), "ServerName=inspection.db\n", "");
       },
       2, "inspection settings ([MSSQL])", "error", "missing ServerName"},
      {"a missing inspection file",
       [](const TempFolder& h) { fs::remove(h.file("inspection.db")); }, 2,
       "inspection database opens", "error", "SqlFail"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder home;
    fs::copy(VELMORA_DEMO_HOME, home.path(), fs::copy_options::recursive);
    c.plant(home);
    const Outcome o = doctor(home.path().string());
    EXPECT_EQ(o.status, c.status);
    ASSERT_TRUE(o.json.is_object());
    EXPECT_EQ(o.json["status"], o.status == 0 ? "fine" : o.status == 1 ? "warning" : "error");
    int named = 0;
    for (const auto& row : o.json["checks"]) {
      if (row["check"] == c.check) {
        ++named;
        EXPECT_EQ(row["status"], c.health);
        EXPECT_NE(row["detail"].get<std::string>().find(c.detail), std::string::npos)
            << row["detail"];
      } else {
        // Every other row is fine: one fault, one row.
        EXPECT_EQ(row["status"], "fine") << row["check"] << ": " << row["detail"];
      }
    }
    EXPECT_EQ(named, *c.check == '\0' ? 0 : 1);
    if (*c.check == '\0') {
      EXPECT_GE(o.json["checks"].size(), 10u);
    }
  }
}

}  // namespace
