// Whole check runs on a copy of the demo home whose MES database cannot answer: a table
// dropped, a page corrupted, a lock taken by a writer in the middle of the run. Each ends
// through the error exit, result "" with one error entry naming the procedure where it
// happened, the error and the statement; before, each said "ok" with findings missing. (The
// lost ODBC server is among the OdbcPg* tests: tests/integration/odbc_demo_test.cpp.)
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "support/damaged_database.hpp"
#include "support/demo_run.hpp"
#include "support/temp_sqlite.hpp"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using testing::corruptRootPage;
using testing::dropTable;
using testing::TempFolder;

// The demo home copied into `home`, its busy timeout cut to 1 s.
void copyDemoHome(const TempFolder& home) {
  fs::copy(VELMORA_DEMO_HOME, home.path(), fs::copy_options::recursive);
  std::ofstream(home.file("INI/MESconfig.ini"), std::ios::app) << "\n[MESDB]\nBusyTimeout=1\n";
}

// The MES database of the run, which another connection locks exclusively (as a writer of the
// MES does) just before the run's second station lookup: the first of the summary, after every
// item was judged. The lock is held until the database object goes.
class LockedMidRun : public MesDatabase {
 public:
  LockedMidRun(std::shared_ptr<MesDatabase> inner, std::string path)
      : inner_(std::move(inner)), path_(std::move(path)) {}
  ~LockedMidRun() override {
    if (writer_ != nullptr) sqlite3_close(writer_);
  }

  std::shared_ptr<Recordset> ExecuteQuery(const std::string& sql) override {
    if (sql.find("PARM_STEP_STATION") != std::string::npos && ++stationLookups_ == 2) lock();
    return inner_->ExecuteQuery(sql);
  }
  std::shared_ptr<Recordset> SelectRecords(const std::string& tables, const std::string& columns,
                                           const std::string& condition,
                                           const std::string& extra) override {
    return inner_->SelectRecords(tables, columns, condition, extra);
  }

 private:
  void lock() {
    ASSERT_EQ(sqlite3_open(path_.c_str(), &writer_), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer_, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(writer_);
  }

  std::shared_ptr<MesDatabase> inner_;
  std::string path_;
  sqlite3* writer_ = nullptr;
  int stationLookups_ = 0;
};

TEST(CheckRunFailures, ADatabaseThatCannotAnswerEndsTheRunNamingWhereAndWhy) {
  struct Case {
    const char* what;
    std::function<void(const std::string& mesPath)> damage;
    bool lockMidRun;
    const char* procedure;  // where the one error entry is written
    const char* message;    // the driver's message in it
  };
  const Case cases[] = {
      {"PARM_STEP_STATION dropped", [](const std::string& p) { dropTable(p, "PARM_STEP_STATION"); },
       false, "getStation", "1:no such table: PARM_STEP_STATION"},
      {"MES_BASIC_LISTDATA dropped",
       [](const std::string& p) { dropTable(p, "MES_BASIC_LISTDATA"); }, false, "getBumpDefect",
       "1:no such table: MES_BASIC_LISTDATA"},
      {"EDC_PRD_FAILCOUNT_SITE dropped",
       [](const std::string& p) { dropTable(p, "EDC_PRD_FAILCOUNT_SITE"); }, false,
       "chkLotBumpDefect", "1:no such table: EDC_Prd_FailCount_Site"},
      {"EDC_PRD_FAILREASON dropped",
       [](const std::string& p) { dropTable(p, "EDC_PRD_FAILREASON"); }, false, "chkLotBumpDefect",
       "1:no such table: EDC_Prd_FailReason"},
      {"EDC_PRD_RAWDATA dropped", [](const std::string& p) { dropTable(p, "EDC_PRD_RAWDATA"); },
       false, "getWaferSeq", "1:no such table: EDC_PRD_RAWDATA"},
      {"a bit flipped in a table's root page",
       [](const std::string& p) { corruptRootPage(p, "EDC_PRD_RAWDATA"); }, false, "getWaferSeq",
       "11:database disk image is malformed"},
      {"a writer's exclusive lock taken mid-run", [](const std::string&) {}, true, "getStation",
       "5:database is locked"},
  };
  for (const Case& c : cases) {
    TempFolder home;
    copyDemoHome(home);
    const std::string mesPath = home.file("mes.db");
    c.damage(mesPath);
    testing::WrapMes wrap;
    if (c.lockMidRun) {
      // With the statement cache on, the second station lookup would be answered from memory.
      std::ofstream(home.file("INI/MESconfig.ini"), std::ios::app) << "StatementCacheMiB=0\n";
      wrap = [&](std::shared_ptr<MesDatabase> inner) -> std::shared_ptr<MesDatabase> {
        return std::make_shared<LockedMidRun>(std::move(inner), mesPath);
      };
    }
    const testing::CheckOutcome outcome =
        testing::runCheckOnHome("LOT-A01", "S-FQC-100", home.path().string(), "", wrap);
    EXPECT_EQ(outcome.result, "") << c.what;
    EXPECT_TRUE(outcome.records.empty()) << c.what;
    // One error entry, the run's last: the procedure, the error, the statement.
    std::vector<std::string> errors;
    for (const std::string& entry : outcome.trace) {
      if (entry.find(": Executing...") == std::string::npos) errors.push_back(entry);
    }
    ASSERT_EQ(errors.size(), 1u) << c.what;
    EXPECT_EQ(errors[0], outcome.trace.back()) << c.what;
    const std::string start = std::string("Abnormals.") + c.procedure + ": " + c.message;
    EXPECT_EQ(errors[0].rfind(start, 0), 0u) << c.what << ": " << errors[0];
    EXPECT_NE(errors[0].find("(statement: SELECT "), std::string::npos) << c.what;
    // The same failure as a value, for the hosts that report it without reading the trace.
    ASSERT_TRUE(outcome.failure) << c.what;
    const RunFailure& failure = *outcome.failure;
    EXPECT_EQ(failure.procedure, c.procedure) << c.what;
    EXPECT_EQ(failure.kind, "no-answer") << c.what;
    EXPECT_EQ(std::to_string(failure.number) + ":" + failure.description +
                  " (statement: " + failure.statement + ")",
              errors[0].substr(std::string("Abnormals.").size() + failure.procedure.size() + 2))
        << c.what;
    EXPECT_EQ(failure.statement.rfind("SELECT ", 0), 0u) << c.what;
  }
}

}  // namespace
}  // namespace velmora
