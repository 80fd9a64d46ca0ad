#include "common/cached_mes.hpp"

#include <gtest/gtest.h>

#include <optional>

#include "support/check_fixture.hpp"
#include "support/run_fixture.hpp"

namespace velmora {
namespace {

using testing::Answer;
using testing::CheckFixture;
using testing::itemRow;

const std::string kStation = "SELECT B.STATION FROM PARM_STEP_INFO";

struct Outcome {
  std::string result;
  std::string lotDevReasons;
  int stationStatements = 0;
  std::vector<std::string> trace;
};

// A run whose lot entry "ITEM/CP" needs the station twice (the step's class at the start, the
// translation at the end), on a host's own MES object.
Outcome runWithCapabilityMark(std::size_t cacheMiB, std::optional<FailureKind> stationFails) {
  CheckFixture f;
  f.context->statementCacheMiB = cacheMiB;
  f.station("FQC-AOI-01");
  if (stationFails) {
    f.mes->failOn(kStation, AutomationError(-3113, "ORA-03113: end-of-file", *stationFails));
  }
  f.timeVersion("TV1", "TA1");
  f.items({itemRow("I0", "ITEM", "0")});
  f.mes->on("SELECT CPCPKVIOLATION", Answer{{"CPCPKVIOLATION"}, {{Variant("1")}}});
  Outcome outcome;
  outcome.result = f.check.Execute();
  outcome.lotDevReasons = f.check.LotDevReasons();
  outcome.stationStatements = f.mes->count(kStation);
  outcome.trace = f.trace->entries;
  return outcome;
}

TEST(CachedMes, RepeatsWithinARunReachTheDatabaseOnceAndFailuresEveryTime) {
  struct Case {
    std::optional<FailureKind> stationFails;
    std::size_t cacheMiB;
    int stationStatements;
    const char* lotDevReasons;
    const char* result;
  };
  const Case cases[] = {
      {std::nullopt, 64, 1, "ITEM/FQCIDT021", "ok"},
      {std::nullopt, 0, 2, "ITEM/FQCIDT021", "ok"},  // off
      // A failure the run goes on after is sent again, and traced again.
      {FailureKind::kUnfitData, 64, 2, "", "ok"},
      {FailureKind::kUnfitData, 0, 2, "", "ok"},
      // A database that could not answer ends the run at its first failure, as without the cache.
      {FailureKind::kNoAnswer, 64, 1, "", ""},
  };
  for (const Case& c : cases) {
    const Outcome outcome = runWithCapabilityMark(c.cacheMiB, c.stationFails);
    const Outcome without = runWithCapabilityMark(0, c.stationFails);
    const std::string label =
        std::to_string(c.cacheMiB) + " MiB, row " + std::to_string(&c - cases);
    EXPECT_EQ(outcome.result, c.result) << label;
    EXPECT_EQ(outcome.stationStatements, c.stationStatements) << label;
    EXPECT_EQ(outcome.lotDevReasons, c.lotDevReasons) << label;
    EXPECT_EQ(outcome.trace, without.trace) << "the trace does not depend on the cache; " << label;
  }
}

TEST(CachedMes, EachRunReadsTheDataAsTheyAreThen) {
  CheckFixture f;
  f.context->statementCacheMiB = 64;
  f.station("FQC-AOI-01");
  EXPECT_EQ(f.check.Execute(), "ok");
  EXPECT_EQ(f.check.IsEDCItem(), "N");
  // Rows added between the runs: the second run sees them.
  f.items({itemRow("I9", "ITEM", "9")});
  EXPECT_EQ(f.check.Execute(), "ok");
  EXPECT_EQ(f.check.IsEDCItem(), "Y");
  EXPECT_EQ(f.mes->count(kStation), 2);
}

TEST(CachedMes, SelectRecordsIsKeyedByItsFourArgumentsAndTheObject) {
  testing::RunFixture f;
  velmora::Run run(*f.context, f.state, std::make_shared<StatementCache>(1 << 20));
  run.mes().SelectRecords("T", "A", "B='1'", "");
  run.mes().SelectRecords("T", "A", "B='1'", "");
  run.mes().SelectRecords("T", "A", "B='1'", "ORDER BY A");
  // The same statement text from other arguments: the host's object may treat them otherwise.
  run.mes().SelectRecords("T", "A", "B='1' ORDER BY A", "");
  EXPECT_EQ(f.mes->selects.size(), 3u);
  // Another object in the slot is another database.
  auto other = std::make_shared<testing::ScriptedMes>();
  f.context->mesdb = other;
  run.mes().SelectRecords("T", "A", "B='1'", "");
  EXPECT_EQ(other->selects.size(), 1u);
  // An empty slot is error 91 at the call, as without the cache.
  f.context->mesdb.reset();
  EXPECT_THROW(run.mes().ExecuteQuery("SELECT 1"), AutomationError);
}

}  // namespace
}  // namespace velmora
