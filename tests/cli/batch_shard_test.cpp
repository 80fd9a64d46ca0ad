#include "cli/batch_shard.hpp"

#include <gtest/gtest.h>

#include <map>

namespace velmora::cli {
namespace {

TEST(BatchShard, ParsesKOfNAndTheJobEnvironments) {
  using Environment = std::map<std::string, std::string>;
  const Environment none;
  const Environment kubernetes{{"JOB_COMPLETION_INDEX", "2"}};
  const Environment slurm{
      {"SLURM_ARRAY_TASK_ID", "5"}, {"SLURM_ARRAY_TASK_MIN", "1"}, {"SLURM_ARRAY_TASK_COUNT", "8"}};
  const Environment slurmFromZero{{"SLURM_ARRAY_TASK_ID", "3"}, {"SLURM_ARRAY_TASK_COUNT", "4"}};
  const std::string notKOfN = "expected K/N (the K-th of N parts, K from 1 to N), auto or auto/N";
  const std::string notN = "N is not a whole number from 1 to 10000";
  // `expected`: the 0-based index and the count, or the error after "--shard 'TEXT': ".
  const struct {
    std::string text;
    Environment environment;
    std::string expected;
  } cases[] = {
      {"1/1", none, "0 of 1"},
      {"3/3", none, "2 of 3"},
      {"07/10000", none, "6 of 10000"},
      // An explicit K/N wins over whatever job it runs in.
      {"1/2", kubernetes, "0 of 2"},
      {"auto/3", kubernetes, "2 of 3"},
      {"auto", slurm, "4 of 8"},
      {"auto/8", slurm, "4 of 8"},
      {"auto", slurmFromZero, "3 of 4"},
      {"auto/4", {{"SLURM_ARRAY_TASK_ID", "3"}}, "3 of 4"},

      {"", none, notKOfN},
      {"3", none, notKOfN},
      {"x/3", none, notKOfN},
      {"-1/3", none, notKOfN},
      {"Auto/3", kubernetes, notKOfN},
      {"1/3x", none, notN},
      {"1/", none, notN},
      {"1/2/3", none, notN},
      {"1/99999999999", none, notN},
      {"0/3", none, "K is 0, not from 1 to N (3)"},
      {"4/3", none, "K is 4, not from 1 to N (3)"},
      {"1/0", none, "N is 0, not from 1 to 10000"},
      {"1/10001", none, "N is 10001, not from 1 to 10000"},
      {"auto", none,
       "neither JOB_COMPLETION_INDEX (a Kubernetes Indexed Job) nor SLURM_ARRAY_TASK_ID (a Slurm "
       "job array) is set"},
      {"auto", kubernetes,
       "JOB_COMPLETION_INDEX is set, but a Kubernetes Indexed Job's environment does not hold its "
       "completions; give them as --shard auto/N"},
      {"auto/2", kubernetes,
       "JOB_COMPLETION_INDEX 2 is not below N (2): the Job's completions and N differ"},
      {"auto/3", {{"JOB_COMPLETION_INDEX", ""}}, "JOB_COMPLETION_INDEX '' is not a whole number"},
      {"auto/3",
       {{"JOB_COMPLETION_INDEX", "1"}, {"SLURM_ARRAY_TASK_ID", "1"}},
       "both JOB_COMPLETION_INDEX and SLURM_ARRAY_TASK_ID are set; give the part as --shard K/N"},
      {"auto", {{"SLURM_ARRAY_TASK_ID", "x"}}, "SLURM_ARRAY_TASK_ID 'x' is not a whole number"},
      {"auto",
       {{"SLURM_ARRAY_TASK_ID", "2"}, {"SLURM_ARRAY_TASK_MIN", " 1"}},
       "SLURM_ARRAY_TASK_MIN ' 1' is not a whole number"},
      {"auto",
       {{"SLURM_ARRAY_TASK_ID", "0"}, {"SLURM_ARRAY_TASK_MIN", "1"}},
       "SLURM_ARRAY_TASK_ID 0 is below SLURM_ARRAY_TASK_MIN 1"},
      {"auto",
       {{"SLURM_ARRAY_TASK_ID", "0"}},
       "SLURM_ARRAY_TASK_COUNT is not set; give the count as --shard auto/N"},
      {"auto",
       {{"SLURM_ARRAY_TASK_ID", "0"}, {"SLURM_ARRAY_TASK_COUNT", "0"}},
       "SLURM_ARRAY_TASK_COUNT 0 is not from 1 to 10000"},
      {"auto/4", slurm, "SLURM_ARRAY_TASK_COUNT 8 differs from N (4)"},
      // --array=0-15:4 numbers its four tasks 0, 4, 8 and 12.
      {"auto",
       {{"SLURM_ARRAY_TASK_ID", "8"}, {"SLURM_ARRAY_TASK_COUNT", "4"}},
       "SLURM_ARRAY_TASK_ID 8 minus SLURM_ARRAY_TASK_MIN 0 is not below SLURM_ARRAY_TASK_COUNT 4: "
       "the array's indices must be consecutive"},
      {"auto/4",
       {{"SLURM_ARRAY_TASK_ID", "4"}},
       "SLURM_ARRAY_TASK_ID 4 minus SLURM_ARRAY_TASK_MIN 0 is not below N (4): the array's "
       "indices must be consecutive"},
  };
  for (const auto& c : cases) {
    const auto lookup = [&](const std::string& name) -> std::optional<std::string> {
      const auto found = c.environment.find(name);
      if (found == c.environment.end()) return std::nullopt;
      return found->second;
    };
    std::string outcome;
    try {
      const BatchShard shard = parseBatchShard(c.text, lookup);
      outcome = std::to_string(shard.index) + " of " + std::to_string(shard.count);
    } catch (const BatchInputError& e) {
      outcome = e.what();
      const std::string prefix = "--shard '" + c.text + "': ";
      EXPECT_EQ(outcome.rfind(prefix, 0), 0u) << outcome;
      if (outcome.rfind(prefix, 0) == 0) outcome.erase(0, prefix.size());
    }
    EXPECT_EQ(outcome, c.expected) << c.text;
  }
}

// Reruns on other machines and builds must pick the same lots: the shards are pinned (as an
// independent FNV-1a and finaliser computed them), bytes above 0x7f included, and the separator
// keeps "A" at "BC" apart from "AB" at "C".
TEST(BatchShard, ShardOfALotIsPinned) {
  const struct {
    std::string lot;
    std::string step;
    unsigned of10000;
    unsigned of3;
  } cases[] = {
      {"LOT-A01", "S-FQC-100", 8816, 2},
      {"A", "BC", 4295, 0},
      {"AB", "C", 3777, 2},
      {"RC8200.1", "S-PHO-020", 1171, 0},
      {"LOT-\xc3\xa9", "S-1", 2277, 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(shardOf(c.lot, c.step, 10000), c.of10000) << c.lot << " " << c.step;
    EXPECT_EQ(shardOf(c.lot, c.step, 3), c.of3) << c.lot << " " << c.step;
    EXPECT_EQ(shardOf(c.lot, c.step, 1), 0u);
  }
}

}  // namespace
}  // namespace velmora::cli
