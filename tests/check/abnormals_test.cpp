#include "velmora/abnormals.hpp"

#include <gtest/gtest.h>

#include "support/check_fixture.hpp"
#include "velmora/client.hpp"

namespace velmora {
namespace {

using testing::CheckFixture;
using testing::RecordingTrace;
using testing::ScriptedMes;

const char* kAllMissing = "资料库物件未取得, Trace Object未取得, 没有传入Lot ID, 没有传入Step ID";

TEST(PreExecute, ListsEveryMissingInputInOrder) {
  Abnormals check(std::make_shared<Context>());
  EXPECT_EQ(check.preExecute(), kAllMissing);
  check.LotID("L1");
  EXPECT_EQ(check.preExecute(), "资料库物件未取得, Trace Object未取得, 没有传入Step ID");
}

TEST(PreExecute, OnlyTheMissingStepAndThenOk) {
  CheckFixture f;
  f.check.StepID("");
  EXPECT_EQ(f.check.preExecute(), "没有传入Step ID");
  f.check.StepID("S");
  EXPECT_EQ(f.check.preExecute(), "ok");
}

TEST(PreExecute, BlanksAreALotId) {
  CheckFixture f;
  f.check.LotID("   ");
  EXPECT_EQ(f.check.preExecute(), "ok");
}

TEST(PreExecute, ChangesNothingAndWritesNoTrace) {
  CheckFixture f;
  f.check.preExecute();
  EXPECT_TRUE(f.trace->entries.empty());
  EXPECT_TRUE(f.mes->statements.empty());
}

TEST(SharedSlots, SettingOnOneObjectServesAnotherOfTheSameContext) {
  auto context = std::make_shared<Context>();
  Abnormals first(context);
  Abnormals second(context);
  first.MESDB(std::make_shared<ScriptedMes>());
  first.LogTrace(std::make_shared<RecordingTrace>());
  second.LotID("L");
  second.StepID("S");
  EXPECT_EQ(second.preExecute(), "ok");
}

TEST(SharedSlots, DestroyingAnyCheckObjectEmptiesBothSlots) {
  auto context = std::make_shared<Context>();
  Abnormals survivor(context);
  survivor.LotID("L");
  survivor.StepID("S");
  {
    Abnormals other(context);
    other.MESDB(std::make_shared<ScriptedMes>());
    other.LogTrace(std::make_shared<RecordingTrace>());
    EXPECT_EQ(survivor.preExecute(), "ok");
  }
  EXPECT_EQ(survivor.preExecute(), "资料库物件未取得, Trace Object未取得");
  EXPECT_EQ(context->mesdb, nullptr);
}

TEST(SharedSlots, SeparateContextsDoNotShare) {
  Abnormals a(std::make_shared<Context>());
  Abnormals b(std::make_shared<Context>());
  a.MESDB(std::make_shared<ScriptedMes>());
  b.LotID("L");
  b.StepID("S");
  EXPECT_EQ(b.preExecute(), "资料库物件未取得, Trace Object未取得");
}

TEST(SharedSlots, AnObjectWithoutTheInterfaceIsATypeMismatchAndKeepsTheSlot) {
  CheckFixture f;
  auto notADatabase = std::make_shared<RecordingTrace>();
  try {
    f.check.MESDB(notADatabase);
    FAIL() << "expected a type mismatch";
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.number(), err::kTypeMismatch);
  }
  EXPECT_EQ(f.context->mesdb, f.mes);
  f.check.MESDB(nullptr);
  EXPECT_EQ(f.context->mesdb, nullptr);
}

TEST(Results, EmptyUntilTheFirstRun) {
  CheckFixture f;
  EXPECT_EQ(f.check.IsEDCItem(), "");
  EXPECT_EQ(f.check.IsAUGFail(), "");
  EXPECT_EQ(f.check.LotDevReasons(), "");
  EXPECT_EQ(f.check.Count(), 0);
  EXPECT_EQ(f.check.Item(Variant(1)), nullptr);
  EXPECT_EQ(f.check.Item(Variant("any")), nullptr);
}

TEST(Results, InputsAreKeptAsSetAndDateTimeIsNotUsed) {
  CheckFixture f;
  f.check.DateTime("2026-12-08 10:00");
  f.check.TimeVersionSysid("MINE");
  EXPECT_EQ(f.check.DateTime(), "2026-12-08 10:00");
  EXPECT_EQ(f.check.TimeVersionSysid(), "MINE");
  EXPECT_EQ(f.check.LotID(), "LOT1");
  EXPECT_EQ(f.check.Execute(), "ok");
  EXPECT_EQ(f.check.IsEDCItem(), "N");
  // No items: the caller's time version is left alone.
  EXPECT_EQ(f.check.TimeVersionSysid(), "MINE");
  for (const auto& s : f.mes->statements) EXPECT_EQ(s.find("2026-12-08"), std::string::npos);
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

// Two check runs on one object of the demo fab: records accumulate, flags do not.
TEST(Records, ASecondRunAppendsItsRecordsBehindTheFirstRunsOnes) {
  const std::string home = VELMORA_DEMO_HOME;
  auto context = std::make_shared<Context>();
  context->providers = loadClientConfig(home).providers;
  context->iniFactory = iniFileFactory(home);
  Abnormals check(context);
  check.MESDB(openMesDatabase(loadClientConfig(home).mesConnection, home));
  check.LotID("LOT-A01");
  check.StepID("S-FQC-100");
  ASSERT_EQ(check.Execute(), "ok");
  const int first = check.Count();
  ASSERT_GT(first, 0);
  const std::string firstReasons = check.Item(Variant(1))->Reasons();

  check.LotID("LOT-A02");  // a clean lot
  ASSERT_EQ(check.Execute(), "ok");
  EXPECT_EQ(check.IsEDCFail(), "N");
  EXPECT_EQ(check.Count(), first);

  check.LotID("LOT-A01");
  ASSERT_EQ(check.Execute(), "ok");
  EXPECT_EQ(check.Count(), 2 * first);
  EXPECT_EQ(check.Item(Variant(first + 1))->Reasons(), firstReasons);

  EXPECT_THROW(check.Item(Variant("1")), AutomationError);
  EXPECT_THROW(check.Item(Variant(0)), AutomationError);
  EXPECT_THROW(check.Item(Variant(2 * first + 1)), AutomationError);
}

}  // namespace
}  // namespace velmora
