#include "cli/batch_input.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "velmora/client.hpp"

namespace velmora::cli {
namespace {

std::vector<BatchLot> read(const std::string& text) {
  std::istringstream in(text);
  return readBatchInput(in, "lots.csv");
}

TEST(BatchInput, ReadsLotsWithHeaderCommentsQuotesAndCrLf) {
  const auto lots = read(
      "\xEF\xBB\xBF"
      "Lot,Step\r\n# a comment\n\n  LOT-1 , S-1\r\n\"LOT,2\",\"S \"\"2\"\"\"\n  # indented "
      "comment\n"
      "lot,step\n");
  ASSERT_EQ(lots.size(), 3u);
  EXPECT_EQ(lots[0].lot, "LOT-1");
  EXPECT_EQ(lots[0].step, "S-1");
  EXPECT_EQ(lots[0].where, "lots.csv:4");
  EXPECT_EQ(lots[1].lot, "LOT,2");
  EXPECT_EQ(lots[1].step, "S \"2\"");
  // Only a first line can be the header; later, "lot,step" is a lot named "lot".
  EXPECT_EQ(lots[2].lot, "lot");
  EXPECT_EQ(lots[2].where, "lots.csv:7");
}

TEST(BatchInput, ErrorsNameTheLine) {
  const struct {
    std::string input;
    std::string error;
  } cases[] = {
      {"LOT-1,S-1\nLOT-2\n", "lots.csv:2: expected two fields, lot,step, found 1"},
      {"# header next\nlot,step\nA,S,extra\n",
       "lots.csv:3: expected two fields, lot,step, found 3"},
      {"A,S\n,S\n", "lots.csv:2: the lot is empty"},
      {"A, \n", "lots.csv:1: the step is empty"},
      {"\n\"A,S\n", "lots.csv:2: a quoted field is not closed"},
      {"\"A\"x,S\n", "lots.csv:1: text after a quoted field"},
  };
  for (const auto& c : cases) {
    try {
      read(c.input);
      ADD_FAILURE() << "no error for " << c.input;
    } catch (const BatchInputError& e) {
      EXPECT_EQ(std::string(e.what()), c.error) << c.input;
    }
  }
  // The time options name themselves.
  EXPECT_EQ(parseBatchTime("2024-05-20T08:00", "--since"), "2024-05-20 08:00:00");
  for (const char* bad : {"2024-02-30", "2024-05-20 8:00", "20.05.2024", "2024-05-20'"}) {
    try {
      parseBatchTime(bad, "--until");
      ADD_FAILURE() << "no error for " << bad;
    } catch (const BatchInputError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("--until '" + std::string(bad) + "'", 0), 0u);
    }
  }
}

// The lots with a valid collection at the step in [since, until), on the demo MES: LOT-A04 on
// 2024-05-08 09:45; LOT-A05.1 on 2024-05-20 08:00 (LASTTXN NULL), 05-21 14:30 ('1') and
// 05-22 07:45 ('0', cancelled).
TEST(BatchInput, SelectsTheLotsCollectedAtAStepInAWindow) {
  const auto mes = openMesDatabase("sqlite:mes.db", VELMORA_DEMO_HOME);
  const struct {
    const char* since;
    const char* until;
    std::vector<std::string> lots;
  } cases[] = {
      {"2024-05-01 00:00:00", "2024-06-01 00:00:00", {"LOT-A04", "LOT-A05.1"}},
      {"2024-05-08 09:45:00", "2024-05-08 09:45:01", {"LOT-A04"}},
      {"2024-05-08 09:45:01", "2024-05-20 08:00:00", {}},
      {"2024-05-20 08:00:00", "2024-05-21 00:00:00", {"LOT-A05.1"}},
      {"2024-05-22 00:00:00", "2024-06-01 00:00:00", {}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> lots;
    for (const BatchLot& lot : selectLots(*mes, "S-ETC-040", c.since, c.until)) {
      EXPECT_EQ(lot.step, "S-ETC-040");
      lots.push_back(lot.lot);
    }
    EXPECT_EQ(lots, c.lots) << c.since << " .. " << c.until;
  }
  EXPECT_TRUE(selectLots(*mes, "S-O'HARE", "2024-01-01 00:00:00", "2025-01-01 00:00:00").empty());
}

}  // namespace
}  // namespace velmora::cli
