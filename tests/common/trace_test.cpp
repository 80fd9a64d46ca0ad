#include "common/trace.hpp"

#include <gtest/gtest.h>

#include "common/procedure.hpp"
#include "support/scripted_mes.hpp"

namespace velmora {
namespace {

using testing::RecordingTrace;

struct ThrowingTrace : TraceLog {
  std::int16_t TraceLevel() override { throw AutomationError(5, "broken"); }
  void WriteTrace(std::int16_t&, std::string&) override { throw AutomationError(5, "broken"); }
};

TEST(ReportTrace, WritesSourceColonBlankTextAtTheTraceObjectsLevel) {
  Context context;
  auto trace = std::make_shared<RecordingTrace>();
  trace->level = 2;
  context.trace = trace;
  reportTrace(context, "x", "y", 5);
  ASSERT_EQ(trace->entries.size(), 1u);
  EXPECT_EQ(trace->entries[0], "y: x");
  EXPECT_EQ(trace->levels[0], 2);
}

TEST(ReportTrace, IsSilentWithoutOrWithABrokenTraceObject) {
  Context context;
  EXPECT_NO_THROW(reportTrace(context, "x", "y", 5));
  context.trace = std::make_shared<ThrowingTrace>();
  EXPECT_NO_THROW(reportTrace(context, "x", "y", 5));
}

TEST(Procedure, WritesStartEntryAndReturnsItsResult) {
  Context context;
  auto trace = std::make_shared<RecordingTrace>();
  context.trace = trace;
  const int result = runProcedure(context, "getThing", 0, [](int& r) { r = 7; });
  EXPECT_EQ(result, 7);
  EXPECT_EQ(trace->entries, std::vector<std::string>{"Abnormals.getThing: Executing..."});
}

TEST(Procedure, TrapsAFailureTracesItAndReturnsTheResultAsItStood) {
  Context context;
  auto trace = std::make_shared<RecordingTrace>();
  context.trace = trace;
  const std::string result = runProcedure(context, "getThing", std::string(), [](std::string& r) {
    r = "half";
    raise(err::kDivisionByZero);
  });
  EXPECT_EQ(result, "half");
  ASSERT_EQ(trace->entries.size(), 2u);
  EXPECT_EQ(trace->entries[1], "Abnormals.getThing: 11:Division by zero");
}

TEST(Procedure, AMissingMesDatabaseIsObjectNotSet) {
  Context context;
  auto trace = std::make_shared<RecordingTrace>();
  context.trace = trace;
  runProcedure(context, "getThing", false,
               [&](bool&) { mesDatabase(context).ExecuteQuery("SELECT 1"); });
  ASSERT_EQ(trace->entries.size(), 2u);
  EXPECT_EQ(trace->entries[1].rfind("Abnormals.getThing: 91:Object variable or With block", 0), 0u);
}

}  // namespace
}  // namespace velmora
