// The component only reads: whole check runs leave both demo databases byte for byte as they
// were, and leave no journal or other file beside them.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "support/demo_run.hpp"
#include "support/temp_sqlite.hpp"

namespace velmora {
namespace {

namespace fs = std::filesystem;

std::set<std::string> filesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

TEST(ReadOnly, CheckRunsLeaveBothDatabasesUnchanged) {
  const fs::path home = VELMORA_DEMO_HOME;
  const std::string mesBefore = testing::readBytes((home / "mes.db").string());
  const std::string inspectionBefore = testing::readBytes((home / "inspection.db").string());
  const auto filesBefore = filesIn(home);
  ASSERT_FALSE(mesBefore.empty());
  ASSERT_FALSE(inspectionBefore.empty());

  // Lots whose items reach every check, the inspection database included.
  for (const auto& [lot, step] : {std::pair{"LOT-A01", "S-FQC-100"},
                                  {"LOT-A03", "S-IQC-010"},
                                  {"LOT-A04", "S-PLT-030"},
                                  {"LOT-B01", "S-FQC-100"}}) {
    EXPECT_EQ(testing::runCheckOnHome(lot, step).result, "ok") << lot << " " << step;
  }

  EXPECT_EQ(testing::readBytes((home / "mes.db").string()), mesBefore);
  EXPECT_EQ(testing::readBytes((home / "inspection.db").string()), inspectionBefore);
  EXPECT_EQ(filesIn(home), filesBefore);
}

}  // namespace
}  // namespace velmora
