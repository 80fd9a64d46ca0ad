// The SPC chart and comment statements run unchanged on the demo MES schema through the SQLite
// driver, and select what they are meant to: flagged records only, violation counts above 0,
// commented records only, the raw data of the right statistics record.
#include <gtest/gtest.h>

#include <algorithm>

#include "checks/spc/chart.hpp"
#include "checks/spc/comments.hpp"
#include "support/run_fixture.hpp"
#include "support/temp_sqlite.hpp"
#include "velmora/client.hpp"

namespace velmora {
namespace {

using testing::RunFixture;

// Item I1 under time version TV1: record B1 (flagged, two violations, commented) with
// statistics S1 (wafer 3, two raw-data rows) and S2 (wafer 4); record B2 (flagged, no violation
// count, no comment); record B3 (unflagged) and record B4 (another time version), both with
// violations and comments that the statements must leave out.
constexpr const char* kSeed = R"sql(
INSERT INTO EDC_PRD_BASICDATA (SYSID, TIMEVERSIONSYSID, EDCITEMSYSID, EQPID, FLAG, CPCPKVIOLATION, VIOLATIONCOUNT, COMMENTS) VALUES
  ('B1', 'TV1', 'I1', 'EQP1', '1', '0', 2, 'WithinWafer:3|WithinDie:5'),
  ('B2', 'TV1', 'I1', 'EQP2', '1', '0', 0, NULL),
  ('B3', 'TV1', 'I1', 'EQP3', '0', '0', 4, 'WithinWafer:9'),
  ('B4', 'TV2', 'I1', 'EQP4', '1', '0', 4, 'WithinWafer:9');
INSERT INTO EDC_PRD_STATDATA (SYSID, BASICDATASYSID, MEANVALUE, RANGEVALUE, CHART1VIOLATIONFLAG, CHART1VIOLATIONRULES, CHART2VIOLATIONFLAG, CHART2VIOLATIONRULES) VALUES
  ('S1', 'B1', 1.0, 0.1, '1', 'R1', '0', NULL),
  ('S2', 'B1', 1.0, 0.1, '0', NULL, '3', 'R5'),
  ('S2B', 'B2', 1.0, 0.1, '3', 'R9', '3', NULL),
  ('S3', 'B3', 1.0, 0.1, '3', 'R9', '3', NULL),
  ('S4', 'B4', 1.0, 0.1, '3', 'R9', '3', NULL);
INSERT INTO EDC_PRD_RAWDATA (SYSID, STATDATASYSID, WAFERSEQ, SITENO, VALUE) VALUES
  ('R1', 'S1', 3, 1, 1.0), ('R2', 'S1', 3, 2, 1.1), ('R3', 'S2', 4, 1, 0.9);
INSERT INTO MES_LOT_WAFERID (LOTID, SEQ, WAFERID) VALUES
  ('LOT1', 3, 'LOT1-03'), ('LOT1', 4, 'LOT1-04'), ('LOT1', 5, 'LOT1-05'), ('LOT2', 3, 'LOT2-03');
)sql";

struct SchemaRun : RunFixture {
  SchemaRun() {
    // One transaction: each statement of its own would wait for the disk.
    const std::string schema =
        testing::readBytes(std::string(VELMORA_DEMO_SOURCE) + "/sql/mes-schema.sql");
    testing::makeDatabase(db, "BEGIN;\n" + schema + kSeed + "COMMIT;\n");
    context->mesdb = openMesDatabase("sqlite:" + db, folder.path().string());
  }

  // Trace entries other than the start entries: the failures of the wafer lookups.
  std::vector<std::string> failures() const {
    std::vector<std::string> out;
    for (const auto& e : trace->entries) {
      if (e.find(": Executing...") == std::string::npos) out.push_back(e);
    }
    return out;
  }

  testing::TempFolder folder;
  std::string db = folder.file("mes.db");
};

// (wafer sequence, wafer id, finding, EQPID) of each row.
std::vector<std::vector<std::string>> cells(const std::vector<Row>& rows) {
  std::vector<std::vector<std::string>> out;
  for (const Row& r : rows) {
    out.push_back({r[col::kWaferSeq].toText(), r[col::kWaferId].toText(), r[col::kFinding].toText(),
                   r[col::kEqpId].toText()});
  }
  return out;
}

TEST(SpcStatements, ChartQueryAndWaferLookupsRunOnTheMesSchema) {
  SchemaRun f;
  runSpcChartCheck(f.run);
  EXPECT_EQ(f.failures(), std::vector<std::string>{});
  auto found = cells(f.rows());
  std::sort(found.begin(), found.end());  // the chart query has no ORDER BY
  EXPECT_EQ(found, (std::vector<std::vector<std::string>>{{"3", "LOT1-03", "OFC,R1", "EQP1"},
                                                          {"4", "LOT1-04", "OFCS,R5", "EQP1"}}));
}

TEST(SpcStatements, CommentQueryRunsOnTheMesSchema) {
  SchemaRun f;
  runCommentCheck(f.run);
  EXPECT_EQ(f.failures(), std::vector<std::string>{});
  EXPECT_EQ(cells(f.rows()),
            (std::vector<std::vector<std::string>>{{"3", "LOT1-03", "OFC", "EQP1"},
                                                   {"5", "LOT1-05", "OFC", "EQP1"}}));
}

}  // namespace
}  // namespace velmora
