// velmora-bench: the check benchmarks of `make bench` and `make bench-smoke`.
//
//   velmora-bench [--fab DIR]... [--pg-fab DIR] [--demo DIR] [--smoke] [--statements]
//                 [--no-compare | --compare-only] [benchmark flags]
//
// For every scaled fab (a home written by velmora-fabgen) it benchmarks checks of the fab's
// benchmark lot (25 wafers, 20 items) with the statement cache on and off: for --fab on the fab's
// SQLite databases, for --pg-fab over ODBC on the PostgreSQL server that scripts/pg-test-server.sh
// started with that fab loaded (VELMORA_PG_FAB=DIR). The checks run as a long-running MES client
// makes them: configuration read and MES database opened once, then a fresh check object and one
// Execute for every check. Per check it reports the time, the statements the checks issued, the
// distinct statements among them, the statements that reached the database engine, the logins
// (first run of the process / later runs) and the peak memory of the process.
//
// Each iteration checks with the cache off and on, each with the statements' values bound by the
// library's drivers and sent as text ([MESDB] BindValues 1 and 0), in rotating order, so that the
// noise of a shared machine falls on all alike; the table's time is the median check.
// On the SQLite fabs it also times SQLite alone on the statements of the benchmark lot's check,
// every one as sent and each distinct one once (engine_replay.hpp): the floor of any cache.
//
// First it compares the output (the check JSON and the trace) with the cache on and off, values
// bound and as text, connections opened for each check and kept by a host, for every lot of
// every fab, and for every lot at every step of the --demo
// home, in one process per core; any difference fails the run. Finally it prints the table and the
// targets; a missed target fails the run too (with
// --smoke, one iteration each on a small fab, only the targets that do not depend on timing).
// --statements also lists the statements the benchmark lot's check sends most often;
// --no-compare skips the output comparison (the timed part alone, on a quiet machine, or for
// profiling); --compare-only runs the comparison alone, which needs no quiet machine.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "check_run.hpp"
#include "engine_replay.hpp"
#include "platform/counters/counters.hpp"
#include "statement_log.hpp"

namespace velmora::bench {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kCacheMiB = 64;

struct Check {
  std::string lot;
  std::string step;
};

// What the benchmark of one fab and cache setting measured over all its checks.
struct Measure {
  std::vector<double> ms;  // each check's time
  std::uint64_t issued = 0;
  std::uint64_t engine = 0;
  std::uint64_t prepared = 0;       // statements the engine parsed, over all timed checks
  std::uint64_t mostPrepared = 0;   // the most any timed check parsed
  std::uint64_t firstPrepared = 0;  // what the first check of the host parsed
  double peakMiB = 0;

  bool done() const { return !ms.empty(); }
  double checks() const { return static_cast<double>(ms.size()); }
  // The median check time: the noise of a shared machine only ever adds time, and the median
  // keeps the occasional stalled check out.
  double msPerCheck() const {
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t n = sorted.size();
    return n % 2 == 1 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
  }
  double issuedPerCheck() const { return static_cast<double>(issued) / checks(); }
  double enginePerCheck() const { return static_cast<double>(engine) / checks(); }
  double preparedPerCheck() const { return static_cast<double>(prepared) / checks(); }
};

struct Fab {
  std::string dir;            // the fab as velmora-fabgen wrote it
  std::string home;           // where the checks run (dir, or a home on the server)
  std::string database;       // "SQLite" or "PostgreSQL (ODBC)"
  std::vector<Check> checks;  // every lot; the first is the benchmark lot
  std::size_t distinct = 0;   // distinct statements of the benchmark lot's check
  std::size_t shapes = 0;     // distinct statement shapes of that check (values bound)
  EngineReplay replay;        // SQLite alone on those statements (SQLite fabs, timed runs)
  int firstRunLogins = -1;    // logins of the first check of the process on this fab
  int laterRunLogins = 0;     // most logins of any later check
  Measure measures[2][2];     // [values as text, bound][cache off, on]
};

// ---------------------------------------------------------------------------------------------
// Process memory

// Resets the peak resident size the kernel keeps for the process (VmHWM).
void resetPeakMemory() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

double peakMemoryMiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
  }
  return 0;
}

// ---------------------------------------------------------------------------------------------
// Homes

void writeText(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// A temporary folder, removed with everything in it when the object goes.
class TempHome {
 public:
  TempHome() {
    std::string pattern = (fs::temp_directory_path() / "velmora-bench.XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a temp folder");
    path_ = pattern;
  }
  ~TempHome() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  TempHome(const TempHome&) = delete;
  TempHome& operator=(const TempHome&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

std::vector<Check> readChecks(const fs::path& list) {
  std::vector<Check> checks;
  std::ifstream in(list);
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t comma = line.find(',');
    if (comma != std::string::npos)
      checks.push_back({line.substr(0, comma), line.substr(comma + 1)});
  }
  return checks;
}

// Every lot at every step of a home's SQLite MES database (for the demo home).
std::vector<Check> everyLotAtEveryStep(const fs::path& mesDb) {
  std::vector<Check> checks;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(mesDb.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* statement = nullptr;
    const char* sql =
        "SELECT L.LOTID, S.STEPID FROM MES_LOT_INFO L, PARM_STEP_INFO S ORDER BY 1, 2";
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK) {
      while (sqlite3_step(statement) == SQLITE_ROW) {
        checks.push_back({reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)),
                          reinterpret_cast<const char*>(sqlite3_column_text(statement, 1))});
      }
    }
    sqlite3_finalize(statement);
  }
  sqlite3_close(db);
  return checks;
}

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// The configuration of a home on the test server: both databases through ODBC.
std::string pgConfig() {
  const std::string mes = environment("VELMORA_TEST_PG_MES");
  const std::string driver = environment("VELMORA_TEST_PG_DRIVER");
  const std::string port = environment("VELMORA_TEST_PG_PORT");
  if (mes.empty() || driver.empty() || port.empty()) {
    throw std::runtime_error(
        "--pg-fab needs the server of scripts/pg-test-server.sh (VELMORA_TEST_PG_MES, ...)");
  }
  // The script's connection strings end with "PWD={<password>};".
  const std::size_t at = mes.find("PWD={");
  const std::string password = mes.substr(at + 5, mes.find('}', at + 5) - at - 5);
  return "[MESDB]\nConnection=odbc:" + mes +
         "\n[MSSQL]\nServerName=127.0.0.1\nUserName=velmora\nInitDB=inspection\nPassword=" +
         password + "\n[Providers]\nSQLOLEDB.1=odbc:Driver={" + driver + "};Port=" + port + "\n";
}

// The distinct statements of the check of `check` on the fab's SQLite databases: a cache-off run
// on a home whose files no earlier run opened (the MES file by its own path, the inspection file
// through a new link), with every statement recorded where it reaches SQLite.
// With `replay`, also times SQLite alone on the statements recorded (engine_replay.hpp).
// With `bind`, the values are bound, and what reaches SQLite (and is counted) is the shapes.
std::size_t distinctStatements(Fab& fab, const Check& check, bool show, bool replay,
                               bool bind = false) {
  TempHome home;
  const fs::path dir = fs::absolute(fab.dir);
  fs::create_symlink(dir / "inspection.db", home.path() / "inspection.db");
  writeText(home.path() / "INI" / "MESconfig.ini",
            "[MESDB]\nConnection=sqlite:" + (dir / "mes.db").string() +
                "\n[MSSQL]\nServerName=inspection.db\nUserName=inspector\nInitDB=INSPECTION\n"
                "[Providers]\nSQLOLEDB.1=sqlite\n");
  std::vector<StatementLog::Statement> sent;
  std::size_t distinct = 0;
  {
    StatementLog log;
    runCheck(home.path().string(), check.lot, check.step, 0, bind);
    if (show) {
      std::cout << "statements of " << check.lot << ": " << log.statements() << " sent, "
                << log.distinct() << " distinct; the most sent:\n";
      for (const StatementLog::Repeat& repeat : log.mostSent(12, 72)) {
        std::cout << "  " << repeat.sent << " sent, " << repeat.distinct
                  << " distinct: " << repeat.start << "\n";
      }
    }
    sent = log.sent();
    distinct = log.distinct();
  }
  // After the log has gone: the replay's own connections must not be recorded.
  if (replay && !bind) fab.replay = replayOnEngine(sent, 10);
  return distinct;
}

// ---------------------------------------------------------------------------------------------
// The benchmark

// One check by `host`, counted into `m`; returns the logins it took.
int timedCheck(Host& host, const Check& check, Measure& m, benchmark::State& state) {
  const DatabaseCounters before = databaseCounters();
  const auto start = std::chrono::steady_clock::now();
  const std::string result = host.check(check.lot, check.step);
  const auto end = std::chrono::steady_clock::now();
  const DatabaseCounters after = databaseCounters();
  m.ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
  m.issued += after.statementsIssued - before.statementsIssued;
  m.engine += after.statementsExecuted - before.statementsExecuted;
  const std::uint64_t prepared = after.statementsPrepared - before.statementsPrepared;
  m.prepared += prepared;
  m.mostPrepared = std::max(m.mostPrepared, prepared);
  if (result != "ok") state.SkipWithError(("the check returned '" + result + "'").c_str());
  return static_cast<int>(after.logins - before.logins);
}

// The peak memory of the process while `host` checks once (freed memory returned to the system
// first, so that the peak is this check's and not an earlier benchmark's).
// Also counts the statements the engine parsed for it into `m`.
double peakOfOneCheck(Host& host, const Check& check, Measure& m) {
  malloc_trim(0);
  resetPeakMemory();
  const std::uint64_t before = databaseCounters().statementsPrepared;
  host.check(check.lot, check.step);
  m.firstPrepared = databaseCounters().statementsPrepared - before;
  return peakMemoryMiB();
}

// Checks the fab's benchmark lot again and again, each iteration once with the cache off and
// on, values bound and as text (in rotating order), so that the noise of a shared machine falls
// on all alike. The hosts (see check_run.hpp) log in to the MES database once; the first check
// of the process on the fab also logs in to the inspection database, later ones find that login
// in the pool. The inspection sessions come from the pool, so they keep the shapes they prepared
// for earlier checks, as they do in a long-running host.
void checkBenchmark(benchmark::State& state, Fab* fab) {
  const Check& check = fab->checks.front();
  std::vector<std::unique_ptr<Host>> hosts;  // [values * 2 + cache]
  // The first run: a host's MES login and its first check, which logs in to the inspection
  // database when it is the process's first on this fab.
  const std::uint64_t loginsBefore = databaseCounters().logins;
  for (int values = 0; values < 2; ++values) {
    for (int cache = 0; cache < 2; ++cache) {
      Measure& m = fab->measures[values][cache];
      hosts.push_back(std::make_unique<Host>(fab->home, cache ? kCacheMiB : 0, values == 1));
      m.peakMiB = std::max(m.peakMiB, peakOfOneCheck(*hosts.back(), check, m));
      if (fab->firstRunLogins < 0) {
        fab->firstRunLogins = static_cast<int>(databaseCounters().logins - loginsBefore);
      }
    }
  }
  std::size_t first = 0;
  for (auto _ : state) {
    for (std::size_t i = 0; i < hosts.size(); ++i) {
      const std::size_t which = (first + i) % hosts.size();
      Measure& m = fab->measures[which / 2][which % 2];
      const int logins = timedCheck(*hosts[which], check, m, state);
      fab->laterRunLogins = std::max(fab->laterRunLogins, logins);
    }
    first = (first + 1) % hosts.size();
  }
  state.counters["off_ms"] = fab->measures[1][0].msPerCheck();
  state.counters["on_ms"] = fab->measures[1][1].msPerCheck();
  state.counters["text_off_ms"] = fab->measures[0][0].msPerCheck();
  state.counters["text_on_ms"] = fab->measures[0][1].msPerCheck();
  state.counters["on_engine"] = fab->measures[1][1].enginePerCheck();
  state.counters["on_peak_MiB"] = fab->measures[1][1].peakMiB;
}

// ---------------------------------------------------------------------------------------------
// The output comparison

// Checks to compare with the cache off and on: every lot of a home.
struct Comparison {
  std::string home;
  std::vector<Check> checks;
  std::string label;
};

// Compares the checks of `part` (every `parts`-th one, from the `part`-th) with the cache off and
// on (values bound), with the cache on and the values sent as text, and with the cache on and
// the values bound by a host that keeps its connections from one check to the next (as a
// long-running MES client and a batch worker do: a server may plan a statement it has run many
// times differently); returns the number whose JSON or trace differ (the first few are shown).
int compareCacheOnOff(const std::vector<Comparison>& work, int part, int parts) {
  int differences = 0;
  for (const Comparison& comparison : work) {
    const auto start = std::chrono::steady_clock::now();
    std::size_t compared = 0;
    int different = 0;
    Host kept(comparison.home, kCacheMiB);
    for (std::size_t i = static_cast<std::size_t>(part); i < comparison.checks.size();
         i += static_cast<std::size_t>(parts)) {
      const Check& check = comparison.checks[i];
      const CheckOutcome off = runCheck(comparison.home, check.lot, check.step, 0);
      const CheckOutcome on = runCheck(comparison.home, check.lot, check.step, kCacheMiB);
      const CheckOutcome text = runCheck(comparison.home, check.lot, check.step, kCacheMiB, false);
      const CheckOutcome onKept = kept.outcome(check.lot, check.step);
      ++compared;
      const struct {
        const char* name;
        const CheckOutcome& outcome;
      } others[] = {{"cache off", off}, {"as text", text}, {"bound, connections kept", onKept}};
      for (const auto& other : others) {
        if (other.outcome.json == on.json && other.outcome.trace == on.trace) continue;
        if (++different <= 3) {
          std::cerr << "DIFFERENT " << other.name << ": " << check.lot << " at " << check.step
                    << " (" << comparison.label << ")\n--- " << other.name << ":\n"
                    << other.outcome.json << "\n--- cache on, bound:\n"
                    << on.json << "\n";
        }
        break;
      }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "output with the cache on and off, values bound and as text, connections kept: "
              << compared << " checks on " << comparison.label << " (part " << part + 1 << " of "
              << parts << "), " << different << " different (" << static_cast<int>(seconds) << " s)"
              << std::endl;
    differences += different;
  }
  return differences;
}

// Runs the comparison in `parts` child processes side by side (each with a SQLite of its own, so
// that they do not contend for its allocator's lock). Called before this process opens any
// database, so that the children inherit no connection. Returns the number of differences (a
// child that did not end normally counts as one).
int compareInProcesses(const std::vector<Comparison>& work, int parts) {
  std::vector<pid_t> children;
  for (int part = 0; part < parts; ++part) {
    std::cout.flush();
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("cannot start a comparison process");
    if (pid == 0) {
      int differences = 1;
      try {
        differences = compareCacheOnOff(work, part, parts);
      } catch (const std::exception& e) {
        std::cerr << "velmora-bench: comparison: " << e.what() << "\n";
      }
      std::cout.flush();
      _exit(std::min(differences, 255));
    }
    children.push_back(pid);
  }
  int differences = 0;
  for (const pid_t child : children) {
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
      ++differences;
    } else {
      differences += WEXITSTATUS(status);
    }
  }
  return differences;
}

// The benchmark lot must show findings of every kind (at a final QC step, where every code
// translates): a generator that stopped producing one would make the benchmark measure less.
// Returns the kinds missing from the check's JSON.
std::vector<std::string> missingFindingKinds(const std::string& json) {
  struct Kind {
    const char* name;
    std::vector<const char*> entries;  // any of them shows the kind
  };
  const Kind kinds[] = {
      {"BYL", {"/BYL"}},
      {"SDL", {"/SDL"}},
      {"CP/CPK/CPCPK", {"/FQCIDT021"}},
      {"WLY", {"/FQCIDT022"}},
      {"LLY", {"/FQCIDT023"}},
      {"BYW", {"/BYW"}},
      {"SDW", {"/SDW"}},
      {"OFS", {"/OFS"}},
      {"OFCS", {"/OFCS"}},
      {"OFC", {"/OFC,", "/OFC\""}},
      {"SPC rules", {"/R"}},
      {"fail reasons", {"/101", "/102", "/103", "/210", "/220", "/230", "/240", "/250"}},
  };
  std::vector<std::string> missing;
  for (const Kind& kind : kinds) {
    const bool shown = std::any_of(kind.entries.begin(), kind.entries.end(), [&](const char* e) {
      return json.find(e) != std::string::npos;
    });
    if (!shown) missing.push_back(kind.name);
  }
  return missing;
}

// ---------------------------------------------------------------------------------------------
// The table

std::string fixed(double value, int decimals) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return buffer;
}

std::string grouped(std::size_t value) {
  // Built forwards: g++ 12 sees a false overlap in inserting commas into the string.
  const std::string digits = std::to_string(value);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

struct Verdicts {
  int missed = 0;
  void report(bool met, const std::string& what) {
    std::cout << (met ? "  met     " : "  MISSED  ") << what << "\n";
    if (!met) ++missed;
  }
};

void printTable(const std::vector<Fab>& fabs) {
  std::cout << "\n| database | lots in the fab | cache | values | ms/check | statements issued "
               "| distinct (shapes) | reached the engine | parsed: first check / later (most) "
               "| logins (first run / later) | peak MiB |\n"
               "|---|--:|---|---|--:|--:|--:|--:|--:|--:|--:|\n";
  for (const Fab& fab : fabs) {
    for (int cache = 0; cache < 2; ++cache) {
      for (int values = 0; values < 2; ++values) {
        const Measure& m = fab.measures[values][cache];
        if (!m.done()) continue;
        std::cout << "| " << fab.database << " | " << grouped(fab.checks.size()) << " | "
                  << (cache ? "on" : "off") << " | " << (values ? "bound" : "text") << " | "
                  << fixed(m.msPerCheck(), 1) << " | " << fixed(m.issuedPerCheck(), 0) << " | "
                  << grouped(fab.distinct) << " (" << grouped(fab.shapes) << ") | "
                  << fixed(m.enginePerCheck(), 0) << " | " << m.firstPrepared << " / "
                  << fixed(m.preparedPerCheck(), 0) << " (" << m.mostPrepared << ") | "
                  << fab.firstRunLogins << " / " << fab.laterRunLogins << " | "
                  << fixed(m.peakMiB, 0) << " |\n";
      }
    }
  }
  std::cout << "\n";
  bool replayed = false;
  for (const Fab& fab : fabs) {
    if (fab.replay.allMs <= 0) continue;
    if (!replayed) {
      std::cout << "SQLite alone on the benchmark lot's statements (engine_replay.hpp):\n\n"
                   "| lots in the fab | every statement ms | each distinct once ms | ratio |\n"
                   "|--:|--:|--:|--:|\n";
      replayed = true;
    }
    std::cout << "| " << grouped(fab.checks.size()) << " | " << fixed(fab.replay.allMs, 1) << " | "
              << fixed(fab.replay.distinctMs, 1) << " | "
              << fixed(fab.replay.distinctMs / fab.replay.allMs, 3) << " |\n";
  }
  if (replayed) std::cout << "\n";
}

void judge(const std::vector<Fab>& fabs, bool timing, Verdicts& verdicts) {
  std::cout << "Targets:\n";
  const Fab* smallest = nullptr;
  const Fab* largest = nullptr;
  for (const Fab& fab : fabs) {
    const Measure& off = fab.measures[1][0];
    const Measure& on = fab.measures[1][1];
    const Measure& textOff = fab.measures[0][0];
    const Measure& textOn = fab.measures[0][1];
    if (!off.done() || !on.done() || !textOff.done() || !textOn.done()) continue;
    const std::string label = fab.database + ", " + grouped(fab.checks.size()) + " lots";
    const double engine = on.enginePerCheck();
    const double issued = on.issuedPerCheck();
    verdicts.report(engine <= static_cast<double>(fab.distinct),
                    label + ": statements reaching the engine " + fixed(engine, 0) +
                        " <= distinct " + grouped(fab.distinct));
    verdicts.report(engine <= 0.3 * issued, label + ": reaching the engine / issued = " +
                                                fixed(engine / issued, 3) + " <= 0.3");
    const bool odbc = fab.database != "SQLite";
    if (odbc) {
      verdicts.report(fab.firstRunLogins <= 2 && fab.laterRunLogins <= 1,
                      label + ": logins " + std::to_string(fab.firstRunLogins) +
                          " in the first run <= 2, " + std::to_string(fab.laterRunLogins) +
                          " in later runs <= 1");
    }
    // Each shape parsed at most once per connection: the first check of a host parses no more
    // than the check has shapes, later checks (whose shapes live on) next to nothing.
    for (const Measure* m : {&off, &on}) {
      verdicts.report(m->firstPrepared <= fab.shapes && m->mostPrepared <= 10,
                      label + ", cache " + (m == &on ? "on" : "off") +
                          ", values bound: statements parsed in the first check " +
                          std::to_string(m->firstPrepared) + " <= shapes " +
                          std::to_string(fab.shapes) + ", in any later check " +
                          std::to_string(m->mostPrepared) + " <= 10");
    }
    if (timing) {
      const double limit = odbc ? 0.35 : 0.45;
      const double ratio = on.msPerCheck() / off.msPerCheck();
      verdicts.report(ratio <= limit, label + ": ms/check cache on / off = " + fixed(ratio, 3) +
                                          " <= " + fixed(limit, 2) + " (values bound)");
      for (const int cache : {1, 0}) {
        if (odbc && cache == 0) continue;
        const double boundLimit = odbc ? 0.8 : 0.6;
        const double bound =
            fab.measures[1][cache].msPerCheck() / fab.measures[0][cache].msPerCheck();
        verdicts.report(bound <= boundLimit, label + ", cache " + (cache ? "on" : "off") +
                                                 ": ms/check values bound / as text = " +
                                                 fixed(bound, 3) + " <= " + fixed(boundLimit, 1));
      }
    }
    if (!odbc) {
      if (smallest == nullptr || fab.checks.size() < smallest->checks.size()) smallest = &fab;
      if (largest == nullptr || fab.checks.size() > largest->checks.size()) largest = &fab;
    }
  }
  if (timing && smallest != nullptr && largest != smallest) {
    for (int cache = 0; cache < 2; ++cache) {
      const double ratio =
          largest->measures[1][cache].msPerCheck() / smallest->measures[1][cache].msPerCheck();
      verdicts.report(ratio <= 1.2, "SQLite, cache " + std::string(cache ? "on" : "off") + ": " +
                                        grouped(largest->checks.size()) + " lots / " +
                                        grouped(smallest->checks.size()) +
                                        " lots = " + fixed(ratio, 3) + " <= 1.2");
    }
  }
}

int usage() {
  std::cerr << "usage: velmora-bench [--fab DIR]... [--pg-fab DIR] [--demo DIR] [--smoke] "
               "[--statements] [--no-compare | --compare-only] [benchmark flags]\n";
  return 2;
}

}  // namespace
}  // namespace velmora::bench

int main(int argc, char** argv) {
  using namespace velmora::bench;
  std::vector<std::string> sqliteFabs;
  std::string pgFab;
  std::string demo;
  bool smoke = false;
  bool showStatements = false;
  bool compare = true;
  bool time = true;
  std::vector<char*> rest{argv[0]};
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--fab" && i + 1 < argc) {
      sqliteFabs.push_back(argv[++i]);
    } else if (arg == "--pg-fab" && i + 1 < argc) {
      pgFab = argv[++i];
    } else if (arg == "--demo" && i + 1 < argc) {
      demo = argv[++i];
    } else if (arg == "--smoke") {
      smoke = true;
    } else if (arg == "--statements") {
      showStatements = true;
    } else if (arg == "--no-compare") {
      compare = false;
    } else if (arg == "--compare-only") {
      time = false;
    } else {
      rest.push_back(argv[i]);
    }
  }
  if ((sqliteFabs.empty() && pgFab.empty()) || (!compare && !time)) return usage();
  int restCount = static_cast<int>(rest.size());
  benchmark::Initialize(&restCount, rest.data());
  if (restCount > 1) return usage();

  try {
    std::unique_ptr<TempHome> pgHome;
    std::vector<Fab> fabs;
    auto fab = [](const std::string& dir, const std::string& home, const char* database) {
      Fab made;
      made.dir = dir;
      made.home = home;
      made.database = database;
      return made;
    };
    for (const std::string& dir : sqliteFabs) fabs.push_back(fab(dir, dir, "SQLite"));
    if (!pgFab.empty()) {
      pgHome = std::make_unique<TempHome>();
      writeText(pgHome->path() / "INI" / "MESconfig.ini", pgConfig());
      fabs.push_back(fab(pgFab, pgHome->path().string(), "PostgreSQL (ODBC)"));
    }
    for (Fab& fab : fabs) {
      fab.checks = readChecks(fs::path(fab.dir) / "lots.txt");
      if (fab.checks.empty()) throw std::runtime_error("no lots in " + fab.dir + "/lots.txt");
    }

    // The comparison first, in processes of its own: the benchmarks then have the machine.
    int differences = 0;
    if (compare) {
      std::vector<Comparison> work;
      for (const Fab& fab : fabs) {
        work.push_back({fab.home, fab.checks, fab.database + " " + fab.dir});
      }
      if (!demo.empty()) {
        work.push_back({demo, everyLotAtEveryStep(fs::path(demo) / "mes.db"),
                        "the demo home, every lot at every step"});
      }
      const int parts = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
      differences = compareInProcesses(work, parts);
    }
    if (!time) {
      Verdicts verdicts;
      verdicts.report(
          differences == 0,
          "identical output with the cache on and off, values bound and as text, connections kept");
      return verdicts.missed == 0 ? 0 : 1;
    }

    for (Fab& fab : fabs) {
      const std::string name = (fab.database == "SQLite" ? "sqlite" : "odbc-pg") +
                               std::string("/lots:") + std::to_string(fab.checks.size()) +
                               "/cache:off+on/values:text+bound";
      benchmark::RegisterBenchmark(name.c_str(), checkBenchmark, &fab)
          ->Unit(benchmark::kMillisecond)
          ->UseRealTime();
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    Verdicts verdicts;
    for (Fab& fab : fabs) {
      fab.distinct = distinctStatements(fab, fab.checks.front(), showStatements,
                                        !smoke && fab.database == "SQLite");
      fab.shapes = distinctStatements(fab, fab.checks.front(), false, false, true);
      const CheckOutcome bench =
          runCheck(fab.home, fab.checks.front().lot, fab.checks.front().step, kCacheMiB);
      const std::vector<std::string> missing = missingFindingKinds(bench.json);
      std::string list;
      for (const std::string& kind : missing) list += " " + kind;
      verdicts.report(missing.empty(), "benchmark lot " + fab.checks.front().lot + " on " +
                                           fab.database + " shows findings of every kind" +
                                           (missing.empty() ? "" : " (missing:" + list + ")"));
    }
    printTable(fabs);
    judge(fabs, !smoke, verdicts);
    if (compare) {
      verdicts.report(
          differences == 0,
          "identical output with the cache on and off, values bound and as text, connections kept");
    }
    return verdicts.missed == 0 ? 0 : 1;
  } catch (const std::exception& e) {
    std::cerr << "velmora-bench: " << e.what() << "\n";
    return 1;
  }
}
