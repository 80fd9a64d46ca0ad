#include "common/trace.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "common/mes_queries.hpp"
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

// A trace that cannot say its level but writes.
struct LevelessTrace : RecordingTrace {
  std::int16_t TraceLevel() override { throw AutomationError(5, "broken"); }
};

TEST(ReportTrace, IsSilentWithoutOrWithABrokenTraceObject) {
  Context context;
  EXPECT_NO_THROW(reportTrace(context, "x", "y", 5));
  context.trace = std::make_shared<ThrowingTrace>();
  EXPECT_NO_THROW(reportTrace(context, "x", "y", 5));
  // Without its level the entry is still written, at level 0.
  auto leveless = std::make_shared<LevelessTrace>();
  context.trace = leveless;
  reportTrace(context, "x", "y", 5);
  EXPECT_EQ(leveless->entries, std::vector<std::string>{"y: x"});
  EXPECT_EQ(leveless->levels, std::vector<std::int16_t>{0});
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

// Data that answered unfit is trapped and the run goes on; a database that could not answer ends
// the run: one error entry, under the procedure where it happened, then RunEnded.
TEST(Procedure, TrapsUnfitDataAndEndsTheRunWhenTheDatabaseCouldNotAnswer) {
  struct NullMes : MesDatabase {
    std::shared_ptr<Recordset> ExecuteQuery(const std::string&) override { return nullptr; }
    std::shared_ptr<Recordset> SelectRecords(const std::string&, const std::string&,
                                             const std::string&, const std::string&) override {
      return nullptr;
    }
  };
  struct Case {
    const char* what;
    std::function<void(const Context&)> body;
    Traps traps;
    bool endsRun;
    std::string entry;  // the error entry's start; "" for none
  };
  const Case cases[] = {
      {"no current record", [](const Context&) { raise(err::kNoCurrentRecord); }, Traps::kUnfitData,
       false, "Abnormals.p: 3021:Either BOF"},
      {"a server's data exception with any number",
       [](const Context&) { throw AutomationError(1476, "ORA-01476", FailureKind::kUnfitData); },
       Traps::kUnfitData, false, "Abnormals.p: 1476:ORA-01476"},
      {"a lock, whatever its number",
       [](const Context&) {
         throw AutomationError(5, "database is locked", FailureKind::kNoAnswer);
       },
       Traps::kUnfitData, true, "Abnormals.p: 5:database is locked"},
      {"an unmarked database failure",
       [](const Context&) { throw AutomationError(-942, "ORA-00942: table missing"); },
       Traps::kUnfitData, true, "Abnormals.p: -942:ORA-00942"},
      {"no MES database object", [](const Context& c) { mesDatabase(c).ExecuteQuery("SELECT 1"); },
       Traps::kUnfitData, true,
       "Abnormals.p: 91:Object variable or With block variable not set: no MES database"},
      {"a host database returning no record set",
       [](const Context&) {
         Context withNull;
         withNull.mesdb = std::make_shared<NullMes>();
         mesDatabase(withNull).SelectRecords("T", "A", "B = '1' ", "");
       },
       Traps::kUnfitData, true,
       "Abnormals.p: 91:Object variable or With block variable not set: the MES database "
       "returned no record set (statement: SELECT A FROM T WHERE B = '1' )"},
      {"an unexpected failure", [](const Context&) { throw std::logic_error("bug"); },
       Traps::kUnfitData, true, "Abnormals.p: -2147467259:bug"},
      {"a failure an inner procedure traced",
       [](const Context& c) {
         runProcedure(c, "inner", 0, [](int&) { throw AutomationError(1, "no such table: T"); });
       },
       Traps::kUnfitData, true, ""},
      {"anything, where every failure is trapped",
       [](const Context&) { throw AutomationError(1, "no", FailureKind::kNoAnswer); },
       Traps::kEverything, false, "Abnormals.p: 1:no"},
  };
  for (const Case& c : cases) {
    Context context;
    auto trace = std::make_shared<RecordingTrace>();
    context.trace = trace;
    bool ended = false;
    int result = 0;
    try {
      result = runProcedure(
          context, "p", 0,
          [&](int& r) {
            r = 4;
            c.body(context);
          },
          c.traps);
    } catch (const RunEnded&) {
      ended = true;
    }
    EXPECT_EQ(ended, c.endsRun) << c.what;
    if (!ended) {
      EXPECT_EQ(result, 4) << c.what;
    }
    std::vector<std::string> errors;
    for (const std::string& entry : trace->entries) {
      if (entry.find("Executing...") == std::string::npos) errors.push_back(entry);
    }
    // One error entry: the inner procedure's where there is one.
    ASSERT_EQ(errors.size(), 1u) << c.what;
    const std::string expected = c.entry.empty() ? "Abnormals.inner: 1:no such table: T" : c.entry;
    EXPECT_EQ(errors[0].rfind(expected, 0), 0u) << c.what << ": " << errors[0];
  }
}

}  // namespace
}  // namespace velmora
