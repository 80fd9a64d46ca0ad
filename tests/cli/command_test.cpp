// The velmora command run as a process, as an operator or a script runs it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "support/run_command.hpp"
#include "support/temp_sqlite.hpp"

namespace {

namespace fs = std::filesystem;

using Outcome = velmora::testing::CommandRun;

// Runs the command with `args` (shell words), standard error to `errFile` when given.
Outcome velmora(const std::string& args, const std::string& errFile = "/dev/null") {
  return velmora::testing::runVelmora(args, errFile);
}

std::string slurp(const fs::path& p) {
  std::ifstream in(p);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

const std::string kHome = std::string("--home ") + VELMORA_DEMO_HOME;

TEST(Command, HelpAndVersionSucceed) {
  EXPECT_EQ(velmora("--help").status, 0);
  EXPECT_EQ(velmora("check --help").status, 0);
  const Outcome v = velmora("--version");
  EXPECT_EQ(v.status, 0);
  EXPECT_NE(v.out.find("velmora "), std::string::npos);
}

TEST(Command, UsageErrorsExitWithTwo) {
  EXPECT_EQ(velmora("").status, 2);
  EXPECT_EQ(velmora("check --step S").status, 2);
  EXPECT_EQ(velmora("check --lot L --step S --format xml").status, 2);
  EXPECT_EQ(velmora("frobnicate").status, 2);
}

TEST(Command, ValidationMessagesGoToStandardErrorWithTwo) {
  const fs::path err = fs::temp_directory_path() / "velmora-cli-validation.err";
  const Outcome o = velmora("check --lot '' --step '' " + kHome, err.string());
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(slurp(err),
            "velmora: the check object refused its inputs (the lot is empty, the step is empty): "
            "没有传入Lot ID, 没有传入Step ID\n");
}

TEST(Command, AMissingHomeNamesTheConfigurationFile) {
  const fs::path err = fs::temp_directory_path() / "velmora-cli-home.err";
  const Outcome o = velmora("check --lot L --step S --home /nonexistent/home", err.string());
  EXPECT_EQ(o.status, 2);
  EXPECT_NE(slurp(err).find("/nonexistent/home/INI/MESconfig.ini"), std::string::npos);
}

TEST(Command, AMissingMesDatabaseFileIsAConfigurationError) {
  const fs::path err = fs::temp_directory_path() / "velmora-cli-mes.err";
  const Outcome o = velmora("check --lot L --step S " + kHome + " --mes sqlite:/nonexistent/mes.db",
                            err.string());
  EXPECT_EQ(o.status, 2);
  EXPECT_NE(slurp(err).find("/nonexistent/mes.db"), std::string::npos);
}

TEST(Command, ALotWithoutItemsIsOkAndPrintsOneJsonObject) {
  const Outcome o = velmora("check --lot NO-SUCH-LOT --step S-FQC-100 --format json " + kHome);
  EXPECT_EQ(o.status, 0);
  const auto json = nlohmann::json::parse(o.out);
  EXPECT_EQ(json["result"], "ok");
  EXPECT_EQ(json["flags"]["IsEDCItem"], "N");
  EXPECT_TRUE(json["records"].empty());
}

TEST(Command, TraceToAFileCollectsTheEntries) {
  const fs::path trace = fs::temp_directory_path() / "velmora-cli-trace.log";
  fs::remove(trace);
  const Outcome o =
      velmora("check --lot NO-SUCH-LOT --step S-FQC-100 --trace " + trace.string() + " " + kHome);
  EXPECT_EQ(o.status, 0);
  const std::string log = slurp(trace);
  EXPECT_NE(log.find("Abnormals.Execute: Executing..."), std::string::npos);
  EXPECT_NE(log.find("Abnormals.getStation: Executing..."), std::string::npos);
}

TEST(Command, AnUnreachableInspectionDatabaseIsSqlFailWithOne) {
  // A home whose MES database is the demo's and whose inspection database does not exist.
  const fs::path home = fs::temp_directory_path() / "velmora-cli-sqlfail";
  fs::create_directories(home / "INI");
  std::ofstream(home / "INI" / "MESconfig.ini")
      << "[MESDB]\nConnection=sqlite:" << VELMORA_DEMO_HOME << "/mes.db\n"
      << "[MSSQL]\nServerName=missing-inspection.db\nUserName=u\nInitDB=I\n"
      << "[Providers]\nSQLOLEDB.1=sqlite\n";
  const Outcome o =
      velmora("check --lot LOT-A01 --step S-FQC-100 --format json --home " + home.string());
  EXPECT_EQ(o.status, 1);
  const auto json = nlohmann::json::parse(o.out);
  EXPECT_EQ(json["result"], "SqlFail");
  EXPECT_TRUE(json["records"].empty());
  EXPECT_EQ(json["LotDevReasons"], "");
  fs::remove_all(home);
}

// The command as a Unix tool: what it says on standard error (one line), what it prints, and
// its exit status, for output it cannot write, a bad configuration or argument, a trace aimed
// at a database, a failed check, and values that could drive a terminal.
TEST(Command, ErrorsAreOneLineNamingTheFaultAndOutputIsSafe) {
  velmora::testing::TempFolder twice;
  velmora::testing::writeText(
      twice.file("INI/MESconfig.ini"),
      "[MESDB]\nConnection=sqlite:mes.db\n\n[MESDB]\nconnection=sqlite:b.db\n");
  velmora::testing::TempFolder misspelt;
  velmora::testing::writeText(misspelt.file("INI/MESconfig.ini"),
                              "[MESDB]\nConnection=sqlite:mes.db\nConection=sqlite:b.db\n");
  velmora::testing::TempFolder broken;
  fs::copy(VELMORA_DEMO_HOME, broken.path(), fs::copy_options::recursive);
  velmora::testing::makeDatabase(broken.file("mes.db"), "DROP TABLE PARM_STEP_STATION");
  const std::string lotA01 = " --lot LOT-A01 --step S-FQC-100 ";

  struct Case {
    std::string args;
    int status;
    std::string err;  // the one line on standard error ("" for none), from its start
    std::string out;  // a part of standard output ("" for any)
  };
  const Case cases[] = {
      {"check" + lotA01 + kHome + " >/dev/full", 2,
       "velmora: cannot write to standard output: No space left on device", ""},
      {"check" + lotA01 + kHome + " >&-", 2,
       "velmora: cannot write to standard output: it is closed", ""},
      {"check" + lotA01 + kHome + " --trace /dev/full", 2,
       "velmora: cannot write the trace to '/dev/full': No space left on device", ""},
      {"check" + lotA01 + "--home " + twice.path().string(), 2,
       "velmora: Invalid procedure call or argument: key 'connection' in section [MESDB] given "
       "again at line 5 of '" +
           twice.file("INI/MESconfig.ini") + "' (first at line 2)",
       ""},
      {"check" + lotA01 + "--home " + misspelt.path().string(), 2,
       "velmora: Invalid procedure call or argument: unknown key 'Conection' in section [MESDB] "
       "at line 3 of '" +
           misspelt.file("INI/MESconfig.ini") + "'",
       ""},
      {"batch --input - --home " + misspelt.path().string() + " </dev/null", 2,
       "velmora: Invalid procedure call or argument: unknown key 'Conection'", ""},
      {"check" + lotA01 + "--home ''", 2,
       "velmora: --home: must name a folder, not be empty (see velmora check --help)", ""},
      {"check" + lotA01 + kHome + " --trace " + VELMORA_DEMO_HOME + "/mes.db", 2,
       std::string("velmora: --trace ") + VELMORA_DEMO_HOME + "/mes.db is the configured file", ""},
      {"check --bogus", 2,
       "velmora: The following argument was not expected: --bogus (see velmora check --help)", ""},
      {"check --lot L --step '' " + kHome, 2,
       "velmora: the check object refused its inputs (the step is empty): 没有传入Step ID", ""},
      {"check" + lotA01 + "--home " + broken.path().string(), 1,
       "velmora: the check of LOT-A01 at S-FQC-100 returned \"\" after a failure in getStation: "
       "1:no such table: PARM_STEP_STATION (statement: SELECT B.STATION",
       "result \"\""},
      {"check --lot NO-SUCH-LOT --step S-FQC-100 " + kHome, 0, "",
       "\nNo EDC items for this lot at this step.\n"},
      {"check --lot \"$(printf 'A\\nB\\033[31m')\" --step S-FQC-100 " + kHome, 0, "",
       "Lot A\\nB\\x1b[31m, step S-FQC-100"},
  };
  const fs::path errFile = fs::temp_directory_path() / "velmora-cli-table.err";
  for (const Case& c : cases) {
    const Outcome o = velmora(c.args, errFile.string());
    EXPECT_EQ(o.status, c.status) << c.args;
    const std::string err = slurp(errFile);
    if (c.err.empty()) {
      EXPECT_EQ(err, "") << c.args;
    } else {
      EXPECT_EQ(err.rfind(c.err, 0), 0u) << c.args << "\n" << err;
      EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << c.args << "\n" << err;
      EXPECT_EQ(err.back(), '\n') << c.args;
    }
    EXPECT_NE(o.out.find(c.out), std::string::npos) << c.args << "\n" << o.out;
    EXPECT_EQ(o.out.find('\033'), std::string::npos) << c.args;
  }
  fs::remove(errFile);
}

}  // namespace

namespace {

// Every file the command writes (a check's output and trace, a batch's report and summary) is
// refused when it is one of the files it reads, however the path is spelt (a link, "..", a hard
// link): exit status 2, one line naming both, and every input byte-identical afterwards.
TEST(Command, NothingItWritesLandsOnWhatItReads) {
  velmora::testing::TempFolder home;
  fs::copy(VELMORA_DEMO_HOME, home.path(), fs::copy_options::recursive);
  velmora::testing::writeText(home.file("lots.csv"), "LOT-A01,S-FQC-100\n");
  fs::create_symlink(home.file("mes.db"), home.file("link-to-mes.db"));
  fs::create_hard_link(home.file("inspection.db"), home.file("hard-inspection.db"));
  const std::vector<std::string> inputs = {home.file("mes.db"), home.file("inspection.db"),
                                           home.file("INI/MESconfig.ini"), home.file("lots.csv")};
  std::vector<std::string> before;
  for (const std::string& file : inputs) before.push_back(velmora::testing::readBytes(file));

  const std::string check = "check --lot LOT-A01 --step S-FQC-100 --home " + home.path().string();
  const std::string batch =
      "batch --input " + home.file("lots.csv") + " --home " + home.path().string();
  struct Case {
    std::string args;
    std::string named;  // the input the message names
  };
  const Case cases[] = {
      {check + " --output " + home.file("mes.db"), "mes.db"},
      {check + " --format json --output " + home.file("link-to-mes.db"), "mes.db"},
      {check + " --format html --output " + home.file("INI/../inspection.db"), "inspection.db"},
      {check + " --output " + home.file("hard-inspection.db"), "inspection.db"},
      {check + " --output " + home.file("INI/MESconfig.ini"), "MESconfig.ini"},
      {check + " --trace " + home.file("inspection.db"), "inspection.db"},
      {batch + " --report " + home.file("mes.db"), "mes.db"},
      {batch + " --summary " + home.file("INI/MESconfig.ini"), "MESconfig.ini"},
      {batch + " --summary " + home.file("lots.csv"), "lots.csv"},
      {batch + " --report " + home.file("link-to-mes.db"), "mes.db"},
  };
  const fs::path errFile = fs::temp_directory_path() / "velmora-cli-inputs.err";
  for (const Case& c : cases) {
    const Outcome o = velmora(c.args, errFile.string());
    EXPECT_EQ(o.status, 2) << c.args;
    EXPECT_EQ(o.out, "") << c.args;
    const std::string err = slurp(errFile);
    EXPECT_EQ(err.rfind("velmora: --", 0), 0u) << c.args << "\n" << err;
    EXPECT_NE(err.find(c.named + "', which"), std::string::npos) << c.args << "\n" << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << c.args << "\n" << err;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
      EXPECT_EQ(velmora::testing::readBytes(inputs[i]), before[i]) << c.args << ": " << inputs[i];
    }
  }
  fs::remove(errFile);
}

// Reports and summaries are written beside their target and renamed into place: a file that
// cannot be replaced keeps what it held, and no scratch file is left behind.
TEST(Command, AReportReplacesItsFileWholeOrNotAtAll) {
  velmora::testing::TempFolder out;
  const std::string report = out.file("report.json");
  velmora::testing::writeText(report, "old report\n");
  const std::string lotA01 = " --lot LOT-A01 --step S-FQC-100 --format json " + kHome;
  EXPECT_EQ(velmora("check" + lotA01 + " --output " + report).status, 0);
  EXPECT_EQ(nlohmann::json::parse(velmora::testing::readBytes(report))["lot"], "LOT-A01");
  // A folder that cannot be written: the old file stays as it was.
  velmora::testing::writeText(report, "old report\n");
  fs::permissions(out.path(), fs::perms::owner_read | fs::perms::owner_exec);
  const Outcome refused = velmora("check" + lotA01 + " --output " + report);
  fs::permissions(out.path(), fs::perms::owner_all);
  if (geteuid() != 0) {  // root writes anyway
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(velmora::testing::readBytes(report), "old report\n");
  }
  for (const auto& entry : fs::directory_iterator(out.path())) {
    EXPECT_EQ(entry.path().filename(), "report.json") << "left behind: " << entry.path();
  }
}

}  // namespace
