// The velmora command run as a process, as an operator or a script runs it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status;
  std::string out;
};

// Runs the command with `args` (shell words), standard error to `errFile` when given.
Outcome velmora(const std::string& args, const std::string& errFile = "/dev/null") {
  const std::string command = std::string(VELMORA_CLI) + " " + args + " 2>" + errFile;
  FILE* pipe = popen(command.c_str(), "r");
  Outcome o{-1, ""};
  if (pipe == nullptr) return o;
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) o.out.append(buffer, n);
  const int raw = pclose(pipe);
  o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return o;
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
  EXPECT_EQ(slurp(err), "velmora: 没有传入Lot ID, 没有传入Step ID\n");
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

}  // namespace
