// Whole check runs of the demo fab loaded into PostgreSQL (MES and inspection databases both
// reached through ODBC) compared with the same runs on the demo home's SQLite databases and with
// the statement cache off, and the faults of a client/server installation: an MES server that
// goes away in the middle of a run, a pooled inspection login that the server ended, an
// inspection server that never answers or refuses.
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/ado/odbc/loopback.hpp"
#include "platform/ado/odbc/pg_server.hpp"
#include "platform/counters/counters.hpp"
#include "support/scripted_mes.hpp"
#include "support/temp_sqlite.hpp"
#include "velmora/abnormals.hpp"
#include "velmora/client.hpp"
#include "velmora/report.hpp"

namespace velmora {
namespace {

using testing::PgServer;
using testing::RecordingTrace;
using testing::TempFolder;

// Writes <home>/INI/MESconfig.ini with the given sections' text.
void writeConfig(const TempFolder& home, const std::string& text) {
  testing::writeText(home.file("INI/MESconfig.ini"), text);
}

// A home whose MES and inspection databases are the server's demo fab: the MES through
// "odbc:", the inspection database through SQLOLEDB.1 mapped to the server's ODBC driver
// (its ODBC driver named in [Providers]).
void writePgHome(const TempFolder& home, const PgServer& server) {
  writeConfig(home, "[MESDB]\nConnection=odbc:" + server.mes +
                        "\n[MSSQL]\nServerName=127.0.0.1\nUserName=velmora\nInitDB=inspection\n"
                        "Password=" +
                        server.password + "\n[Providers]\nSQLOLEDB.1=odbc:Driver={" +
                        server.driver + "};Port=" + server.port + "\n");
}

struct Outcome {
  std::string json;                // what `velmora check --format json` prints
  std::vector<std::string> trace;  // the trace entries
  double seconds = 0;              // how long Execute took
};

// One check run of `lot` at `step` wired as the command line wires it, with `mes` as the MES
// database (the home's own when null) and a statement cache of `cacheMiB`.
Outcome runCheck(const std::string& home, const std::string& lot, const std::string& step,
                 std::shared_ptr<MesDatabase> mes = nullptr, std::size_t cacheMiB = 64) {
  const ClientConfig config = loadClientConfig(home);
  auto context = std::make_shared<Context>();
  context->providers = config.providers;
  context->statementCacheMiB = cacheMiB;
  context->iniFactory = iniFileFactory(home);
  auto trace = std::make_shared<RecordingTrace>();
  Abnormals check(context);
  check.MESDB(mes ? mes : openMesDatabase(config.mesConnection, home));
  check.LogTrace(trace);
  check.LotID(lot);
  check.StepID(step);
  Outcome outcome;
  const auto start = std::chrono::steady_clock::now();
  const std::string result = check.Execute();
  outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  outcome.json = toJson(collectReport(check, result));
  outcome.trace = trace->entries;
  return outcome;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\n";
  return out;
}

// ---------------------------------------------------------------------------------------------
// The demo scenarios on both databases

struct Scenario {
  const char* lot;
  const char* step;
};

// How test names and failure messages show a scenario.
void PrintTo(const Scenario& scenario, std::ostream* out) {
  *out << scenario.lot << " at " << scenario.step;
}

class OdbcPgDemo : public testing::PgServerTest, public ::testing::WithParamInterface<Scenario> {
 protected:
  void SetUp() override {
    PgServerTest::SetUp();
    if (IsSkipped()) return;
    writePgHome(home, server);
  }
  TempFolder home;
};

TEST_P(OdbcPgDemo, SameFindingsAndTraceAsOnSqlite) {
  const Scenario scenario = GetParam();
  const Outcome sqlite = runCheck(VELMORA_DEMO_HOME, scenario.lot, scenario.step);
  const Outcome pg = runCheck(home.path().string(), scenario.lot, scenario.step);
  // Result, flags, LotDevReasons, time version and every record in order.
  EXPECT_EQ(pg.json, sqlite.json);
  // The same error entries too: a statement failing on one database only would show here even
  // where the failing procedure's default happens to give the same findings.
  EXPECT_EQ(joined(pg.trace), joined(sqlite.trace));
  EXPECT_EQ(joined(pg.trace).find(server.password), std::string::npos);
  // The statement cache changes nothing.
  const Outcome uncached = runCheck(home.path().string(), scenario.lot, scenario.step, nullptr, 0);
  EXPECT_EQ(uncached.json, pg.json);
  EXPECT_EQ(joined(uncached.trace), joined(pg.trace));
}

INSTANTIATE_TEST_SUITE_P(
    OdbcPg, OdbcPgDemo,
    ::testing::Values(Scenario{"LOT-A01", "S-FQC-100"}, Scenario{"LOT-A02", "S-FQC-100"},
                      Scenario{"LOT-A02", "S-IQC-010"}, Scenario{"LOT-A03", "S-IQC-010"},
                      Scenario{"LOT-A03", "S-FQC-100"}, Scenario{"LOT-A04", "S-PHO-020"},
                      Scenario{"LOT-A04", "S-PLT-030"}, Scenario{"LOT-A04", "S-ETC-040"},
                      Scenario{"LOT-A04", "S-CLN-050"}, Scenario{"LOT-A05.1", "S-ETC-040"},
                      Scenario{"LOT-A06", "S-FQC-100"}, Scenario{"LOT-A07", "S-FQC-100"},
                      Scenario{"LOT-B01", "S-FQC-100"}, Scenario{"LOT-B02", "S-IQC-010"},
                      Scenario{"RC8100", "S-PLT-030"}, Scenario{"RC8200.1", "S-PHO-020"},
                      Scenario{"LOT-A01", "S-IQC-010"}, Scenario{"LOT-A01", "S-NO-SUCH-STEP"}),
    [](const ::testing::TestParamInfo<Scenario>& info) {
      std::string name = std::string(info.param.lot) + "_" + info.param.step;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

// ---------------------------------------------------------------------------------------------
// The command line

// Runs the velmora command with `arguments`; returns its standard output and sets `status`.
std::string runCli(const std::string& arguments, int& status) {
  const std::string command = std::string(VELMORA_CLI) + " " + arguments + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    status = -1;
    return "";
  }
  std::string out;
  char buffer[4096];
  std::size_t n = 0;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  const int raw = pclose(pipe);
  status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return out;
}

std::string quotedForShell(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'') {
      out += "'\\''";
    } else {
      out += c;
    }
  }
  return out + "'";
}

class OdbcPgCli : public testing::PgServerTest {};

TEST_F(OdbcPgCli, MesOptionOnTheServerPrintsTheSameJson) {
  // The demo home as it is, except that --mes points the MES database at the server and
  // [Providers] points the inspection database at it too.
  TempFolder home;
  writePgHome(home, server);
  for (const Scenario scenario :
       {Scenario{"LOT-A01", "S-FQC-100"}, Scenario{"LOT-A03", "S-IQC-010"},
        Scenario{"RC8100", "S-PLT-030"}}) {
    const std::string common =
        std::string(" --lot ") + scenario.lot + " --step " + scenario.step + " --format json";
    int sqliteStatus = 0;
    const std::string sqlite =
        runCli("check --home " + quotedForShell(VELMORA_DEMO_HOME) + common, sqliteStatus);
    int pgStatus = 0;
    const std::string pg = runCli("check --home " + quotedForShell(home.path().string()) +
                                      " --mes " + quotedForShell("odbc:" + server.mes) + common,
                                  pgStatus);
    ASSERT_FALSE(sqlite.empty()) << scenario.lot;
    EXPECT_EQ(pg, sqlite) << scenario.lot << " " << scenario.step;
    EXPECT_EQ(pgStatus, sqliteStatus) << scenario.lot << " " << scenario.step;
  }
}

// ---------------------------------------------------------------------------------------------
// A server that goes away in the middle of a run

// The MES database of the server, which before the first statement that `due` accepts runs
// `sabotage` on its own connection: a statement that makes the server drop a connection.
class SabotagedMes : public MesDatabase {
 public:
  SabotagedMes(std::shared_ptr<MesDatabase> inner, std::function<bool(const std::string&)> due,
               std::string sabotage)
      : inner_(std::move(inner)), due_(std::move(due)), sabotage_(std::move(sabotage)) {}

  std::shared_ptr<Recordset> ExecuteQuery(const std::string& sql) override {
    sabotageWhenDue(sql);
    return inner_->ExecuteQuery(sql);
  }
  std::shared_ptr<Recordset> SelectRecords(const std::string& tables, const std::string& columns,
                                           const std::string& condition,
                                           const std::string& extra) override {
    sabotageWhenDue(selectRecordsStatement(tables, columns, condition, extra));
    return inner_->SelectRecords(tables, columns, condition, extra);
  }

 private:
  void sabotageWhenDue(const std::string& sql) {
    if (done_ || !due_(sql)) return;
    done_ = true;
    try {
      inner_->ExecuteQuery(sabotage_);
    } catch (const AutomationError&) {
      // The connection is gone, which is the point when it was the MES's own.
    }
  }

  std::shared_ptr<MesDatabase> inner_;
  std::function<bool(const std::string&)> due_;
  std::string sabotage_;
  bool done_ = false;
};

// The server drops the MES connection before statement number `surviving` + 1.
std::shared_ptr<MesDatabase> vanishingMes(std::shared_ptr<MesDatabase> inner, int surviving) {
  auto remaining = std::make_shared<int>(surviving);
  return std::make_shared<SabotagedMes>(
      std::move(inner), [remaining](const std::string&) { return (*remaining)-- == 0; },
      "SELECT pg_terminate_backend(pg_backend_pid())");
}

class OdbcPgServerGoesAway : public testing::PgServerTest {};

TEST_F(OdbcPgServerGoesAway, MesConnectionLostMidRunEndsThroughTheErrorExit) {
  TempFolder home;
  writePgHome(home, server);
  // After the item lookup and a few statements of the main demo's checks.
  for (const int surviving : {0, 1, 3, 10}) {
    auto mes = vanishingMes(openMesDatabase("odbc:" + server.mes, home.path().string()), surviving);
    const Outcome outcome = runCheck(home.path().string(), "LOT-A01", "S-FQC-100", mes);
    EXPECT_NE(outcome.json.find("\"result\": \"\""), std::string::npos)
        << "after " << surviving << " statements:\n"
        << outcome.json;
    const std::string trace = joined(outcome.trace);
    EXPECT_NE(trace.find("SQLSTATE"), std::string::npos) << trace;
    EXPECT_EQ(trace.find(server.password), std::string::npos) << trace;
  }
}

// The inspection server drops the item's connection in the middle of the item: after the lot's
// bump-defect rate, when the check asks the MES for the lot loss-rate limits. Before, the
// remaining predicates answered false and the run said "ok" with those findings missing.
TEST_F(OdbcPgServerGoesAway, InspectionConnectionLostMidItemEndsTheRunNamingThePredicate) {
  TempFolder home;
  writePgHome(home, server);
  auto mes = std::make_shared<SabotagedMes>(
      openMesDatabase("odbc:" + server.mes, home.path().string()),
      [](const std::string& sql) {
        return sql.find("A.LOTPERCENT IS NOT NULL") != std::string::npos;
      },
      "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = 'inspection'");
  const Outcome outcome = runCheck(home.path().string(), "LOT-A03", "S-FQC-100", mes);
  EXPECT_NE(outcome.json.find("\"result\": \"\""), std::string::npos) << outcome.json;
  // The predicate that met the lost connection has the run's last entry, with the SQLSTATE.
  ASSERT_FALSE(outcome.trace.empty());
  const std::string& last = outcome.trace.back();
  EXPECT_EQ(last.rfind("Abnormals.chkAugLotSingle: ", 0), 0u) << joined(outcome.trace);
  EXPECT_NE(last.find("SQLSTATE"), std::string::npos) << last;
  EXPECT_NE(last.find("statement: SELECT SUM(B.DefectQty)"), std::string::npos) << last;
}

// ---------------------------------------------------------------------------------------------
// Pooled inspection logins

class OdbcPgInspectionPool : public testing::PgServerTest {};

TEST_F(OdbcPgInspectionPool, ALoginEndedByTheServerBetweenRunsIsReplacedWithoutAnError) {
  // The inspection logins of this test carry a name of their own, so that ending them leaves
  // the other tests' logins to the server alone.
  const std::string name = "velmora_pool_" + std::to_string(::getpid());
  TempFolder home;
  writeConfig(home, "[MESDB]\nConnection=odbc:" + server.mes +
                        "\n[MSSQL]\nServerName=127.0.0.1\nUserName=velmora\nInitDB=inspection\n"
                        "Password=" +
                        server.password + "\n[Providers]\nSQLOLEDB.1=odbc:Driver={" +
                        server.driver + "};Port=" + server.port +
                        ";pqopt={application_name=" + name + "}\n");
  auto logins = [] { return databaseCounters().logins; };

  std::uint64_t before = logins();
  const Outcome first = runCheck(home.path().string(), "LOT-A01", "S-FQC-100");
  EXPECT_EQ(logins() - before, 2u) << "the MES login and one inspection login for both items";
  before = logins();
  const Outcome second = runCheck(home.path().string(), "LOT-A01", "S-FQC-100");
  EXPECT_EQ(logins() - before, 1u) << "the MES login; the inspection login is the pooled one";

  // The server ends the pooled login; the next run makes a fresh one, and nothing else changes.
  const auto ended = openMesDatabase("odbc:" + server.mes, home.path().string())
                         ->ExecuteQuery(
                             "SELECT count(pg_terminate_backend(pid)) AS ENDED FROM "
                             "pg_stat_activity WHERE application_name = '" +
                             name + "'");
  ASSERT_EQ(ended->Fields("ENDED").toDouble(), 1.0);
  const std::uint64_t checks = databaseCounters().healthChecks;
  before = logins();
  const Outcome third = runCheck(home.path().string(), "LOT-A01", "S-FQC-100");
  EXPECT_EQ(logins() - before, 2u) << "the MES login and a fresh inspection login";
  EXPECT_GE(databaseCounters().healthChecks - checks, 1u);
  EXPECT_NE(first.json.find("\"result\": \"ok\""), std::string::npos) << first.json;
  for (const Outcome* later : {&second, &third}) {
    EXPECT_EQ(later->json, first.json);
    EXPECT_EQ(joined(later->trace), joined(first.trace));
  }
  EXPECT_EQ(joined(third.trace).find(server.password), std::string::npos);
}

// ---------------------------------------------------------------------------------------------
// An inspection server that cannot be reached (no PostgreSQL needed)

class OdbcUnreachableInspection : public ::testing::Test {
 protected:
  // A home with the demo's SQLite MES database and the inspection database on SQL Server at
  // 127.0.0.1 on `port`, through the SQLOLEDB.1 provider's default driver.
  void writeHome(int port) {
    writeConfig(home, "[MESDB]\nConnection=sqlite:" + std::string(VELMORA_DEMO_HOME) +
                          "/mes.db\n[MSSQL]\nServerName=127.0.0.1," + std::to_string(port) +
                          "\nUserName=inspector\nInitDB=INSPECTION\nPassword=n0t-in-trace\n");
  }
  TempFolder home;
};

TEST_F(OdbcUnreachableInspection, ServerThatNeverAnswersGivesSqlFailInTime) {
  testing::SilentListener listener;
  writeHome(listener.port());
  const Outcome outcome = runCheck(home.path().string(), "LOT-A01", "S-FQC-100");
  EXPECT_NE(outcome.json.find("\"result\": \"SqlFail\""), std::string::npos) << outcome.json;
  // The 3 s login timeout held (neither ignored nor cut short), plus the MES work.
  EXPECT_GE(outcome.seconds, 2.5);
  EXPECT_LE(outcome.seconds, 3.5);
  const std::string trace = joined(outcome.trace);
  EXPECT_NE(trace.find("getMSSQLConnect"), std::string::npos) << trace;
  EXPECT_NE(trace.find("SQLSTATE"), std::string::npos) << trace;
  // The provider's default driver, always with a protocol version.
  EXPECT_NE(trace.find("Driver=FreeTDS;"), std::string::npos) << trace;
  EXPECT_NE(trace.find("TDS_Version=7.4;"), std::string::npos) << trace;
  EXPECT_EQ(trace.find("n0t-in-trace"), std::string::npos) << trace;
}

TEST_F(OdbcUnreachableInspection, RefusingServerGivesSqlFail) {
  writeHome(testing::closedLoopbackPort());
  const Outcome outcome = runCheck(home.path().string(), "LOT-A01", "S-FQC-100");
  EXPECT_NE(outcome.json.find("\"result\": \"SqlFail\""), std::string::npos) << outcome.json;
  EXPECT_LE(outcome.seconds, 3.5);
  const std::string trace = joined(outcome.trace);
  EXPECT_NE(trace.find("SQLSTATE"), std::string::npos) << trace;
  EXPECT_EQ(trace.find("n0t-in-trace"), std::string::npos) << trace;
}

}  // namespace
}  // namespace velmora
