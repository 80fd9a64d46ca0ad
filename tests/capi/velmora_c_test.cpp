// The C interface through the shared library, as an MES client in C (or any language calling C)
// uses it.
#include "velmora/velmora.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "support/run_command.hpp"

extern "C" int c_client_check(const char* home, const char* lot, const char* step, char* out,
                              size_t size);

namespace {

struct Scenario {
  const char* lot;
  const char* step;
};

// The demo scenarios: every kind of finding, clean lots, a run card, no items, no such step.
const std::vector<Scenario> kScenarios = {
    {"LOT-A01", "S-FQC-100"},   {"LOT-A02", "S-FQC-100"}, {"LOT-A02", "S-IQC-010"},
    {"LOT-A03", "S-IQC-010"},   {"LOT-A03", "S-FQC-100"}, {"LOT-A04", "S-PHO-020"},
    {"LOT-A04", "S-PLT-030"},   {"LOT-A04", "S-ETC-040"}, {"LOT-A04", "S-CLN-050"},
    {"LOT-A05.1", "S-ETC-040"}, {"LOT-A06", "S-FQC-100"}, {"LOT-A07", "S-FQC-100"},
    {"LOT-B01", "S-FQC-100"},   {"LOT-B02", "S-IQC-010"}, {"RC8100", "S-PLT-030"},
    {"RC8200.1", "S-PHO-020"},  {"LOT-A01", "S-IQC-010"}, {"LOT-A01", "S-NO-SUCH-STEP"}};

// What `velmora check --format json` prints for the scenario, without the final newline.
std::string cliJson(const Scenario& s) {
  std::string out =
      velmora::testing::runVelmora(std::string("check --format json --home ") + VELMORA_DEMO_HOME +
                                   " --lot " + s.lot + " --step " + s.step)
          .out;
  if (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

std::string slurpFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A session on the demo home; fails the test when it does not open.
velmora_session* openDemo() {
  velmora_session* session = nullptr;
  EXPECT_EQ(velmora_session_open(VELMORA_DEMO_HOME, nullptr, &session), VELMORA_OK)
      << velmora_last_error(nullptr);
  return session;
}

// The result's JSON, or the error text prefixed with "error: ".
std::string checkJson(velmora_session* session, const Scenario& s) {
  velmora_result* result = nullptr;
  if (velmora_check(session, s.lot, s.step, &result) != VELMORA_OK) {
    return std::string("error: ") + velmora_last_error(session);
  }
  std::string json = velmora_result_json(result);
  velmora_result_free(result);
  return json;
}

TEST(CInterface, JsonIsTheCommandsAndTheFieldsAgreeWithIt) {
  velmora_session* session = openDemo();
  ASSERT_NE(session, nullptr);
  // One session for all: each check starts from a fresh check object.
  for (const Scenario& s : kScenarios) {
    SCOPED_TRACE(std::string(s.lot) + " at " + s.step);
    velmora_result* result = nullptr;
    ASSERT_EQ(velmora_check(session, s.lot, s.step, &result), VELMORA_OK);
    const std::string json = velmora_result_json(result);
    EXPECT_EQ(json, cliJson(s));

    const auto parsed = nlohmann::json::parse(json);
    EXPECT_EQ(velmora_result_text(result), parsed["result"].get<std::string>());
    for (const auto& [name, value] : parsed["flags"].items()) {
      EXPECT_EQ(velmora_result_flag(result, name.c_str()), value.get<std::string>()) << name;
    }
    EXPECT_EQ(velmora_result_lot_reasons(result), parsed["LotDevReasons"].get<std::string>());
    EXPECT_EQ(velmora_result_time_version(result), parsed["TimeVersionSysid"].get<std::string>());
    ASSERT_EQ(velmora_result_record_count(result), static_cast<int>(parsed["records"].size()));
    for (int i = 0; i < velmora_result_record_count(result); ++i) {
      for (const auto& [field, value] : parsed["records"][i].items()) {
        EXPECT_EQ(velmora_result_record_field(result, i, field.c_str()), value.get<std::string>())
            << "record " << i << " " << field;
      }
    }
    velmora_result_free(result);
  }
  velmora_session_close(session);
}

TEST(CInterface, FailuresAreCodesWithAReasonNeverACrash) {
  velmora_session* session = reinterpret_cast<velmora_session*>(1);  // must be reset to NULL
  EXPECT_EQ(velmora_session_open("/nonexistent/home", nullptr, &session), VELMORA_ERROR_CONFIG);
  EXPECT_EQ(session, nullptr);
  EXPECT_NE(std::string(velmora_last_error(nullptr)).find("/nonexistent/home/INI/MESconfig.ini"),
            std::string::npos);
  EXPECT_EQ(velmora_session_open(VELMORA_DEMO_HOME, "sqlite:/nonexistent/mes.db", &session),
            VELMORA_ERROR_CONFIG);
  EXPECT_NE(std::string(velmora_last_error(nullptr)).find("/nonexistent/mes.db"),
            std::string::npos);
  EXPECT_EQ(velmora_session_open(VELMORA_DEMO_HOME, nullptr, nullptr), VELMORA_ERROR_ARGUMENT);

  session = openDemo();
  ASSERT_NE(session, nullptr);
  velmora_result* result = reinterpret_cast<velmora_result*>(1);
  EXPECT_EQ(velmora_check(nullptr, "LOT-A01", "S-FQC-100", &result), VELMORA_ERROR_ARGUMENT);
  EXPECT_EQ(result, nullptr);
  EXPECT_NE(std::string(velmora_last_error(nullptr)).find("session is NULL"), std::string::npos);
  EXPECT_EQ(velmora_check(session, nullptr, "S-FQC-100", &result), VELMORA_ERROR_ARGUMENT);
  EXPECT_EQ(velmora_check(session, "LOT-A01", nullptr, &result), VELMORA_ERROR_ARGUMENT);
  EXPECT_EQ(velmora_check(session, "LOT-A01", "S-FQC-100", nullptr), VELMORA_ERROR_ARGUMENT);
  EXPECT_NE(std::string(velmora_last_error(session)).find("must not be NULL"), std::string::npos);
  // Empty inputs are the check object's own validation: nothing runs.
  EXPECT_EQ(velmora_check(session, "", "", &result), VELMORA_ERROR_INPUT);
  EXPECT_EQ(result, nullptr);
  EXPECT_STREQ(velmora_last_error(session),
               "the check object refused its inputs (the lot is empty, the step is empty): "
               "没有传入Lot ID, 没有传入Step ID");
  EXPECT_EQ(velmora_session_trace(nullptr, "-"), VELMORA_ERROR_ARGUMENT);
  // A trace over the session's own database would damage it.
  const std::string mesBefore = slurpFile(VELMORA_DEMO_HOME "/mes.db");
  EXPECT_EQ(velmora_session_trace(session, VELMORA_DEMO_HOME "/INI/../mes.db"),
            VELMORA_ERROR_CONFIG);
  EXPECT_NE(std::string(velmora_last_error(session)).find("is the configured file"),
            std::string::npos);
  ASSERT_EQ(velmora_check(session, "LOT-A02", "S-FQC-100", &result), VELMORA_OK);
  velmora_result_free(result);
  EXPECT_EQ(slurpFile(VELMORA_DEMO_HOME "/mes.db"), mesBefore);
  EXPECT_EQ(velmora_session_trace(session, "/nonexistent/folder/trace.log"), VELMORA_ERROR_CONFIG);
  EXPECT_NE(std::string(velmora_last_error(session)).find("/nonexistent/folder/trace.log"),
            std::string::npos);

  EXPECT_EQ(velmora_result_text(nullptr), nullptr);
  EXPECT_EQ(velmora_result_json(nullptr), nullptr);
  EXPECT_EQ(velmora_result_flag(nullptr, "IsEDCItem"), nullptr);
  EXPECT_EQ(velmora_result_lot_reasons(nullptr), nullptr);
  EXPECT_EQ(velmora_result_time_version(nullptr), nullptr);
  EXPECT_EQ(velmora_result_record_count(nullptr), -1);
  EXPECT_EQ(velmora_result_record_field(nullptr, 0, "WaferID"), nullptr);

  ASSERT_EQ(velmora_check(session, "LOT-A01", "S-FQC-100", &result), VELMORA_OK);
  // A call that succeeds clears the text of the failure before it.
  EXPECT_STREQ(velmora_last_error(session), "");
  EXPECT_EQ(velmora_result_error(result, "procedure"), nullptr);
  const int count = velmora_result_record_count(result);
  ASSERT_GT(count, 0);
  EXPECT_EQ(velmora_result_flag(result, nullptr), nullptr);
  EXPECT_EQ(velmora_result_flag(result, "IsSomething"), nullptr);
  EXPECT_EQ(velmora_result_record_field(result, count, "WaferID"), nullptr);
  EXPECT_EQ(velmora_result_record_field(result, -1, "WaferID"), nullptr);
  EXPECT_EQ(velmora_result_record_field(result, 0, "Wafer"), nullptr);
  EXPECT_EQ(velmora_result_record_field(result, 0, nullptr), nullptr);
  velmora_result_free(result);

  velmora_result_free(nullptr);
  velmora_session_close(nullptr);
  velmora_session_close(session);
}

TEST(CInterface, TwoSessionsCheckOnTwoThreadsAtOnce) {
  // The answers of one thread alone first; then two threads, each with its own session, run the
  // scenarios over and over at the same time and must give the same answers.
  velmora_session* session = openDemo();
  ASSERT_NE(session, nullptr);
  std::vector<std::string> expected;
  for (const Scenario& s : kScenarios) expected.push_back(checkJson(session, s));
  velmora_session_close(session);

  constexpr int kRounds = 3;
  std::vector<std::string> mismatches[2];
  auto worker = [&](int index) {
    velmora_session* own = nullptr;
    if (velmora_session_open(VELMORA_DEMO_HOME, nullptr, &own) != VELMORA_OK) {
      mismatches[index].push_back(std::string("open: ") + velmora_last_error(nullptr));
      return;
    }
    for (int round = 0; round < kRounds; ++round) {
      for (std::size_t i = 0; i < kScenarios.size(); ++i) {
        // The two threads walk the scenarios in opposite orders.
        const std::size_t at = index == 0 ? i : kScenarios.size() - 1 - i;
        if (checkJson(own, kScenarios[at]) != expected[at]) {
          mismatches[index].push_back(std::string(kScenarios[at].lot) + " at " +
                                      kScenarios[at].step);
        }
      }
    }
    velmora_session_close(own);
  };
  std::thread first(worker, 0);
  std::thread second(worker, 1);
  first.join();
  second.join();
  EXPECT_EQ(mismatches[0], std::vector<std::string>{});
  EXPECT_EQ(mismatches[1], std::vector<std::string>{});
  // The library is this process's only SQLite user, so it switched SQLite's memory statistics
  // off before their first use: nothing was counted, and no allocation took their mutex.
  EXPECT_EQ(sqlite3_memory_used(), 0);
}

// What `velmora check` prints for `args` (shell words) on standard output.
std::string cliOutput(const std::string& args) {
  return velmora::testing::runVelmora("check " + args).out;
}

// A copy of the demo home in a fresh folder, removed with it.
struct DamagedHome {
  explicit DamagedHome(const std::string& name)
      : path(std::filesystem::temp_directory_path() / ("velmora-capi-" + name)) {
    std::filesystem::remove_all(path);
    std::filesystem::copy(VELMORA_DEMO_HOME, path, std::filesystem::copy_options::recursive);
  }
  ~DamagedHome() { std::filesystem::remove_all(path); }
  void run(const std::string& sql) const {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((path / "mes.db").c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
  }
  std::filesystem::path path;
};

// A check whose run ended early never reads as a clean lot: the C result, the command's JSON and
// its HTML report all carry the failure that ended it.
TEST(CInterface, AFailedCheckCarriesItsFailureOnEverySurface) {
  struct Case {
    const char* name;
    const char* damage;   // SQL run on the copy's MES database
    const char* removed;  // a file of the copy removed, or ""
    const char* result;
    const char* procedure;
    const char* kind;
    const char* description;     // a part of it
    const char* statementStart;  // "" for none
  };
  const Case cases[] = {
      {"station", "DROP TABLE PARM_STEP_STATION", "", "", "getStation", "no-answer",
       "no such table: PARM_STEP_STATION", "SELECT B.STATION FROM PARM_STEP_INFO"},
      {"listdata", "DROP TABLE MES_BASIC_LISTDATA", "", "", "getBumpDefect", "no-answer",
       "no such table: MES_BASIC_LISTDATA", "SELECT "},
      {"inspection", "", "inspection.db", "SqlFail", "getMSSQLConnect", "inspection-login",
       "inspection.db", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const DamagedHome home(c.name);
    if (*c.damage != 0) home.run(c.damage);
    if (*c.removed != 0) std::filesystem::remove(home.path / c.removed);
    const std::string homeArgs = " --lot LOT-A01 --step S-FQC-100 --home " + home.path.string();

    velmora_session* session = nullptr;
    ASSERT_EQ(velmora_session_open(home.path.c_str(), nullptr, &session), VELMORA_OK)
        << velmora_last_error(nullptr);
    velmora_result* result = nullptr;
    ASSERT_EQ(velmora_check(session, "LOT-A01", "S-FQC-100", &result), VELMORA_OK);
    EXPECT_STREQ(velmora_result_text(result), c.result);
    EXPECT_STREQ(velmora_result_error(result, "procedure"), c.procedure);
    EXPECT_STREQ(velmora_result_error(result, "kind"), c.kind);
    EXPECT_NE(std::string(velmora_result_error(result, "description")).find(c.description),
              std::string::npos);
    EXPECT_EQ(std::string(velmora_result_error(result, "statement")).rfind(c.statementStart, 0),
              0u);
    EXPECT_EQ(velmora_result_error(result, "other"), nullptr);
    const auto error = nlohmann::json::parse(velmora_result_json(result))["error"];
    EXPECT_EQ(std::to_string(error["number"].get<int>()), velmora_result_error(result, "number"));
    velmora_result_free(result);
    velmora_session_close(session);

    // The command's JSON carries the same object as the C result's.
    const auto json = nlohmann::json::parse(cliOutput("--format json" + homeArgs));
    EXPECT_EQ(json["error"], error);
    EXPECT_EQ(json["error"]["procedure"], c.procedure);

    const std::string html = cliOutput("--format html" + homeArgs);
    EXPECT_NE(html.find("The check did not complete"), std::string::npos);
    EXPECT_NE(html.find(c.procedure), std::string::npos);
    EXPECT_EQ(html.find("data-wafer-seq"), std::string::npos) << "no map of an incomplete check";
  }
}

TEST(CInterface, CallableFromC99) {
  char text[512] = "";
  EXPECT_EQ(c_client_check(VELMORA_DEMO_HOME, "LOT-A01", "S-FQC-100", text, sizeof text),
            VELMORA_OK)
      << text;
  velmora_session* session = openDemo();
  const auto json = nlohmann::json::parse(checkJson(session, {"LOT-A01", "S-FQC-100"}));
  velmora_session_close(session);
  EXPECT_EQ(std::string(text), "ok " + std::to_string(json["records"].size()));
  EXPECT_EQ(c_client_check("/nonexistent/home", "LOT-A01", "S-FQC-100", text, sizeof text),
            VELMORA_ERROR_CONFIG);
  EXPECT_NE(std::string(text).find("/nonexistent/home"), std::string::npos);
}

}  // namespace
