// velmora batch run as a process, as an engineer or a script runs it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_command.hpp"
#include "support/temp_sqlite.hpp"

namespace {

namespace fs = std::filesystem;
using velmora::testing::TempFolder;

struct Outcome {
  int status;
  std::vector<std::string> lines;
};

// Runs the command with `args` (shell words), its output as lines.
Outcome velmora(const std::string& args) {
  const auto run = velmora::testing::runVelmora(args);
  Outcome o{run.status, {}};
  std::istringstream lines(run.out);
  for (std::string line; std::getline(lines, line);) o.lines.push_back(line);
  return o;
}

nlohmann::json withoutElapsed(const std::string& line) {
  auto json = nlohmann::json::parse(line);
  EXPECT_TRUE(json.contains("elapsed_ms")) << line;
  EXPECT_TRUE(json["elapsed_ms"].is_number()) << line;
  json.erase("elapsed_ms");
  return json;
}

const std::string kHome = std::string("--home ") + VELMORA_DEMO_HOME;

// The demo scenarios, one line each, as check prints them, on three workers (so that lines
// finish out of order and must be put back in order).
TEST(Batch, LinesEqualCheckJsonOverTheDemoScenarios) {
  const std::string lotsFile = std::string(VELMORA_DEMO_SOURCE) + "/lots.csv";
  const Outcome batch = velmora("batch --jobs 3 --input " + lotsFile + " " + kHome);
  EXPECT_EQ(batch.status, 0);

  std::ifstream lots(lotsFile);
  std::size_t i = 0;
  for (std::string entry; std::getline(lots, entry);) {
    if (entry.empty() || entry[0] == '#' || entry == "lot,step") continue;
    const std::string lot = entry.substr(0, entry.find(','));
    const std::string step = entry.substr(entry.find(',') + 1);
    ASSERT_LT(i, batch.lines.size()) << lot << " " << step;
    const Outcome check =
        velmora("check --format json --lot '" + lot + "' --step '" + step + "' " + kHome);
    ASSERT_EQ(check.status, 0) << lot << " " << step;
    std::string object;
    for (const std::string& line : check.lines) object += line + "\n";
    EXPECT_EQ(withoutElapsed(batch.lines[i]), nlohmann::json::parse(object)) << lot << " " << step;
    ++i;
  }
  EXPECT_EQ(i, 16u);
  EXPECT_EQ(batch.lines.size(), i);
}

// A lot whose check fails between two that pass: its line carries the result and the reason,
// the lots after it are checked, the summary counts it, and the exit status is 1.
TEST(Batch, AFailingLotInTheMiddleIsReportedAndTheBatchGoesOn) {
  // The demo MES with an inspection database that does not exist: LOT-A01 at S-FQC-100 needs
  // it (SqlFail); the two LOT-A04 steps have no inspection item.
  TempFolder home;
  velmora::testing::writeText(home.file("INI/MESconfig.ini"),
                              "[MESDB]\nConnection=sqlite:" + std::string(VELMORA_DEMO_HOME) +
                                  "/mes.db\n[MSSQL]\nServerName=missing-inspection.db\n"
                                  "UserName=u\nInitDB=I\n[Providers]\nSQLOLEDB.1=sqlite\n");
  velmora::testing::writeText(home.file("lots.csv"),
                              "LOT-A04,S-PHO-020\nLOT-A01,S-FQC-100\nLOT-A04,S-ETC-040\n");
  const std::string summaryFile = home.file("summary.json");
  const Outcome o = velmora("batch --jobs 2 --input " + home.file("lots.csv") + " --home " +
                            home.path().string() + " --summary " + summaryFile + " --report " +
                            home.file("r.html"));
  EXPECT_EQ(o.status, 1);
  ASSERT_EQ(o.lines.size(), 3u);
  // The failed lot has its own page, which says first that the check did not complete.
  EXPECT_NE(velmora::testing::readBytes(home.file("r.html"))
                .find("href=\"r_lots/LOT-A01_S-FQC-100.html\""),
            std::string::npos);
  EXPECT_NE(velmora::testing::readBytes(home.file("r_lots/LOT-A01_S-FQC-100.html"))
                .find("data-incomplete=\"true\""),
            std::string::npos);

  const auto first = nlohmann::json::parse(o.lines[0]);
  const auto failed = nlohmann::json::parse(o.lines[1]);
  const auto last = nlohmann::json::parse(o.lines[2]);
  EXPECT_EQ(first["result"], "ok");
  EXPECT_FALSE(first.contains("error"));
  EXPECT_EQ(failed["lot"], "LOT-A01");
  EXPECT_EQ(failed["result"], "SqlFail");
  // The reason names the failed inspection login, not the run's bare "0:" exit entry.
  EXPECT_EQ(failed["error"]["procedure"], "getMSSQLConnect") << failed["error"];
  EXPECT_EQ(failed["error"]["kind"], "inspection-login");
  const std::string reason = failed["error"]["description"];
  EXPECT_NE(reason.find("missing-inspection.db"), std::string::npos);
  EXPECT_EQ(last["lot"], "LOT-A04");
  EXPECT_EQ(last["step"], "S-ETC-040");
  EXPECT_EQ(last["result"], "ok");
  EXPECT_EQ(last["LotDevReasons"], "ETCH VISUAL_Scratch/SDL");

  const auto summary = nlohmann::json::parse(velmora::testing::readBytes(summaryFile));
  EXPECT_EQ(summary["done"], 3);
  EXPECT_EQ(summary["results"], nlohmann::json({{"ok", 2}, {"SqlFail", 1}}));
  EXPECT_EQ(summary["lots_with_findings"], 2);
  ASSERT_EQ(summary["failed"].size(), 1u);
  EXPECT_EQ(summary["failed"][0]["where"], home.file("lots.csv") + ":2");
  EXPECT_EQ(summary["failed"][0]["error"].get<std::string>().rfind(
                "Abnormals.getMSSQLConnect: " +
                    std::to_string(failed["error"]["number"].get<int>()) + ":" + reason,
                0),
            0u);
}

// Three machines each taking a third with --shard K/3 check together exactly the lots of the
// whole batch: every line once, equal to the unsharded run's, each shard in input order, a lot
// listed again in the shard of its first listing, and thirds of about equal size. The demo lots
// are 16 lot/step pairs only, too few to spread evenly, so lots the MES does not know (checked as
// "ok" without EDC items) are mixed in.
// The files of a report folder, each without its provenance footer (the time it was made).
std::map<std::string, std::string> reportFiles(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    std::istringstream text(velmora::testing::readBytes(entry.path().string()));
    std::string kept;
    for (std::string line; std::getline(text, line);) {
      if (line.rfind("<footer", 0) != 0) kept += line + "\n";
    }
    files[fs::relative(entry.path(), folder).string()] = kept;
  }
  return files;
}

// Shards run as separate processes check every lot once, and the report built from their JSON
// Lines is the report of the whole batch.
TEST(Batch, ShardsTogetherCheckEveryLotOnce) {
  TempFolder folder;
  std::vector<std::string> demo;
  std::ifstream demoLots(std::string(VELMORA_DEMO_SOURCE) + "/lots.csv");
  for (std::string entry; std::getline(demoLots, entry);) {
    if (!entry.empty() && entry[0] != '#' && entry != "lot,step") demo.push_back(entry);
  }
  ASSERT_EQ(demo.size(), 16u);
  const char* const steps[] = {"S-FQC-100", "S-IQC-010", "S-ETC-040"};
  std::string lots;
  for (int round = 0; round < 4; ++round) {
    for (const std::string& entry : demo) lots += entry + "\n";
    for (int i = 0; i < 150; ++i) {
      lots += "LOT-Z" + std::to_string(round * 150 + i) + "," + steps[i % 3] + "\n";
    }
  }
  velmora::testing::writeText(folder.file("lots.csv"), lots);
  const std::string batch = "batch --jobs 2 --input " + folder.file("lots.csv") + " " + kHome;

  const Outcome whole = velmora(batch + " --report " + folder.file("whole") + "/");
  ASSERT_EQ(whole.status, 0);
  ASSERT_EQ(whole.lines.size(), 664u);
  std::vector<std::vector<nlohmann::json>> shards;
  for (int k = 1; k <= 3; ++k) {
    const std::string summaryFile = folder.file("summary-" + std::to_string(k) + ".json");
    const Outcome shard =
        velmora(batch + " --shard " + std::to_string(k) + "/3 --summary " + summaryFile);
    EXPECT_EQ(shard.status, 0) << k;
    shards.emplace_back();
    std::string jsonLines;
    for (const std::string& line : shard.lines) {
      shards.back().push_back(withoutElapsed(line));
      jsonLines += line + "\n";
    }
    velmora::testing::writeText(folder.file("shard-" + std::to_string(k) + ".jsonl"), jsonLines);
    const auto summary = nlohmann::json::parse(velmora::testing::readBytes(summaryFile));
    EXPECT_EQ(summary["lots"], shard.lines.size()) << k;
    EXPECT_EQ(summary["done"], shard.lines.size()) << k;
    // Within 20 % of a third.
    EXPECT_GE(shard.lines.size() * 3 * 10, whole.lines.size() * 8) << k;
    EXPECT_LE(shard.lines.size() * 3 * 10, whole.lines.size() * 12) << k;
  }

  // Merged in input order: each line of the whole run is the next line of exactly one shard, the
  // one that holds its lot and step.
  std::map<std::pair<std::string, std::string>, std::size_t> shardOfLot;
  std::vector<std::size_t> next(shards.size(), 0);
  for (const std::string& line : whole.lines) {
    const nlohmann::json expected = withoutElapsed(line);
    const std::pair<std::string, std::string> key{expected["lot"], expected["step"]};
    std::size_t matches = 0;
    for (std::size_t k = 0; k < shards.size(); ++k) {
      if (next[k] < shards[k].size() && shards[k][next[k]] == expected) {
        ++matches;
        ++next[k];
        EXPECT_EQ(shardOfLot.emplace(key, k).first->second, k) << line;
      }
    }
    EXPECT_EQ(matches, 1u) << line;
  }
  for (std::size_t k = 0; k < shards.size(); ++k) EXPECT_EQ(next[k], shards[k].size()) << k;

  // The report of the shards' lines, in another order, is the whole batch's, page for page.
  EXPECT_EQ(velmora("report --from " + folder.file("shard-3.jsonl") + " " +
                    folder.file("shard-1.jsonl") + " " + folder.file("shard-2.jsonl") +
                    " --report " + folder.file("shards") + "/ " + kHome)
                .status,
            0);
  const auto expected = reportFiles(folder.file("whole"));
  EXPECT_EQ(expected.size(), 13u);  // the main page and the 12 demo lots with findings
  EXPECT_EQ(reportFiles(folder.file("shards")), expected);

  // A shard that cannot be is a usage error before anything is checked.
  const Outcome refused = velmora(batch + " --shard 4/3");
  EXPECT_EQ(refused.status, 2);
  EXPECT_TRUE(refused.lines.empty());
}

}  // namespace

namespace {

// SIGTERM (a service manager stopping the batch) ends it as Ctrl-C does: the lots under way
// finish, every finished line is written, and the summary, marked interrupted, replaces the
// one an earlier run left.
TEST(Batch, SigtermEndsTheBatchLikeCtrlC) {
  TempFolder folder;
  std::string lots;
  for (int i = 0; i < 3000; ++i) lots += "LOT-A01,S-FQC-100\n";
  velmora::testing::writeText(folder.file("lots.csv"), lots);
  const std::string summaryFile = folder.file("summary.json");
  velmora::testing::writeText(summaryFile, "{\"stale\": true}\n");
  const std::string linesFile = folder.file("lines.jsonl");
  const std::string command = "exec " + std::string(VELMORA_CLI) + " batch --jobs 1 --input " +
                              folder.file("lots.csv") + " " + kHome + " --summary " + summaryFile +
                              " >" + linesFile + " 2>" + folder.file("err");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  // Once some lines are out, and long before 3000 lots are done.
  for (int wait = 0; wait < 200 && velmora::testing::readBytes(linesFile).size() < 10000; ++wait) {
    usleep(20000);
  }
  kill(child, SIGTERM);
  int raw = 0;
  ASSERT_EQ(waitpid(child, &raw, 0), child);
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 143);

  const auto summary = nlohmann::json::parse(velmora::testing::readBytes(summaryFile));
  EXPECT_EQ(summary["interrupted"], true);
  EXPECT_FALSE(summary.contains("stale"));
  EXPECT_GT(summary["done"].get<int>(), 0);
  EXPECT_LT(summary["done"].get<int>(), 3000);
  std::istringstream lines(velmora::testing::readBytes(linesFile));
  int count = 0;
  for (std::string line; std::getline(lines, line); ++count) {
    EXPECT_EQ(nlohmann::json::parse(line)["result"], "ok");
  }
  EXPECT_EQ(count, summary["done"].get<int>());
}

}  // namespace
