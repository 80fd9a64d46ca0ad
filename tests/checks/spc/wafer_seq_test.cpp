#include "checks/spc/wafer_seq.hpp"

#include <gtest/gtest.h>

#include "common/procedure.hpp"
#include "support/run_fixture.hpp"

namespace velmora {
namespace {

using testing::Answer;
using testing::RunFixture;

Answer seqs(std::vector<Variant> values) {
  Answer a{{"WAFERSEQ"}, {}};
  for (auto& v : values) a.rows.push_back({v});
  return a;
}

TEST(GetWaferSeq, SelectsTheFirstRawDataRowOfTheStatisticsRecord) {
  RunFixture f;
  f.mes->on("EDC_PRD_RAWDATA", seqs({Variant(7), Variant(8)}));
  EXPECT_EQ(getWaferSeq(f.run, "S'1"), "7");
  ASSERT_EQ(f.mes->selects.size(), 1u);
  EXPECT_EQ(f.mes->selects[0].tables, "EDC_PRD_RAWDATA");
  EXPECT_EQ(f.mes->selects[0].columns, "WAFERSEQ");
  EXPECT_EQ(f.mes->selects[0].condition, "STATDATASYSID = 'S''1' ");
  EXPECT_EQ(f.mes->selects[0].extra, "");
  EXPECT_EQ(f.trace->entries, std::vector<std::string>{"Abnormals.getWaferSeq: Executing..."});
}

TEST(GetWaferSeq, AnswersEmptyWithoutIdRowOrValue) {
  RunFixture f;
  f.state.timeVersionSysid = "";  // not needed by this lookup
  EXPECT_EQ(getWaferSeq(f.run, ""), "");
  EXPECT_TRUE(f.mes->statements.empty());
  EXPECT_EQ(getWaferSeq(f.run, "S1"), "");  // no raw data
  f.mes->on("EDC_PRD_RAWDATA", seqs({Variant::null()}));
  EXPECT_EQ(getWaferSeq(f.run, "S1"), "");
  EXPECT_EQ(f.mes->statements.size(), 2u);
}

TEST(GetWaferSeq, AMissingTableIsTracedAndEndsTheRun) {
  RunFixture f;
  f.mes->failOn("EDC_PRD_RAWDATA", AutomationError(942, "ORA-00942: table missing"));
  EXPECT_THROW(getWaferSeq(f.run, "S1"), RunEnded);
  EXPECT_EQ(f.trace->entries,
            (std::vector<std::string>{"Abnormals.getWaferSeq: Executing...",
                                      "Abnormals.getWaferSeq: 942:ORA-00942: table missing"}));
}

}  // namespace
}  // namespace velmora
