#include "checks/spc/comments.hpp"

#include <gtest/gtest.h>

#include "support/run_fixture.hpp"

namespace velmora {
namespace {

using testing::Answer;
using testing::RunFixture;

Answer comments(std::vector<std::vector<Variant>> rows) {
  return Answer{{"EQPID", "COMMENTS"}, std::move(rows)};
}

// The wafer sequences (column 4) of the rows appended.
std::vector<std::string> waferSeqs(const RunFixture& f) {
  std::vector<std::string> out;
  for (const Row& row : f.rows()) out.push_back(row[col::kWaferSeq].toText());
  return out;
}

using Lists = std::vector<std::string>;

struct ListCase {
  const char* comment;
  const char* within;
  const char* die;
};

TEST(GetCommentList, ExtractsBothListsPositionally) {
  const ListCase cases[] = {
      {"WithinWafer:3,5|WithinDie:7", "3,5", "7"},
      {"", "", ""},
      {"no wafers listed", "", ""},
      {"WithinDie:7,8", "", "7,8"},
      // Without "|" the whole rest after the heading is the within-wafer list.
      {"WithinWafer:3, 5", "3, 5", ""},
      // The within-die list runs to the end of the comment, whatever follows.
      {"WithinDie:7|WithinWafer:3", "", "7|WithinWafer:3"},
      // The heading's 12 characters are cut from the front, wherever the heading stands.
      {"Note:2|WithinWafer:3", "", ""},
      {"Wafers noted|WithinWafer:3", "", ""},
      {"xxWithinWafer:3,4|", "r:3,4", ""},
      {"WithinWafer:", "", ""},
      {"WithinWafer:|WithinDie:", "", ""},
      // Headings are case-sensitive.
      {"withinwafer:3|withindie:4", "", ""},
      // Characters, not bytes: twelve two-byte characters before the list.
      {"ÄÖÜäöüÄÖÜäöü3,ß|WithinWafer:", "3,ß", ""},
      {"WithinWafer:1|WithinDie:Größe", "1", "Größe"},
  };
  for (const ListCase& c : cases) {
    EXPECT_EQ(getCommentList(c.comment, "W"), c.within) << c.comment;
    EXPECT_EQ(getCommentList(c.comment, "D"), c.die) << c.comment;
    EXPECT_EQ(getCommentList(c.comment, "X"), c.die) << c.comment;
  }
}

TEST(CommentCheck, SendsTheExactCommentQuery) {
  RunFixture f;
  f.setItem("I'1", "ITEM", "0", {});
  runCommentCheck(f.run);
  ASSERT_EQ(f.mes->statements.size(), 1u);
  EXPECT_EQ(f.mes->statements[0],
            "SELECT EQPID,COMMENTS FROM EDC_PRD_BASICDATA  WHERE TIMEVERSIONSYSID='TV1'  AND "
            "EDCITEMSYSID='I''1' AND FLAG='1' AND COMMENTS IS NOT NULL ");
  EXPECT_TRUE(f.rows().empty());
  EXPECT_EQ(flagText(f.state.flags.IsEDCFail), "N");
}

TEST(CommentCheck, EveryListedWaferBecomesAnOfcRow) {
  RunFixture f;
  f.setItem("I1", "THK", "2", {});
  f.mes->on("COMMENTS IS NOT NULL", comments({{"EQP2", "WithinWafer:3,5|WithinDie:7"}}));
  f.mes->on("SEQ = '5'", Answer{{"WAFERID"}, {{"W05"}}});
  runCommentCheck(f.run);

  EXPECT_EQ(waferSeqs(f), (Lists{"3", "5", "7"}));
  const Row row = f.rows()[1];
  EXPECT_EQ(row[col::kItemName], Variant("THK"));
  EXPECT_EQ(row[col::kEqpId], Variant("EQP2"));
  EXPECT_EQ(row[col::kCollectType], Variant("1"));
  EXPECT_EQ(row[col::kWaferId], Variant("W05"));
  EXPECT_EQ(row[col::kFinding], Variant("OFC"));
  EXPECT_EQ(row[col::kTa], Variant("TA1"));
  EXPECT_EQ(row[col::kLotYield], Variant());
  EXPECT_EQ(row[col::kWaferYield], Variant());
  EXPECT_EQ(flagText(f.state.flags.IsEDCFail), "Y");
  // One wafer-id lookup per row, for the run's lot and the piece as written.
  ASSERT_EQ(f.mes->selects.size(), 3u);
  EXPECT_EQ(f.mes->selects[2].condition, "LOTID = 'LOT1'  AND SEQ = '7' ");
}

struct CommentCase {
  const char* comment;
  Lists seqs;
  const char* edcFail;
};

TEST(CommentCheck, RowsFollowTheSectionsPresent) {
  const CommentCase cases[] = {
      {"WithinDie:7,8", {"7", "8"}, "Y"},
      {"WithinWafer:3,5", {"3", "5"}, "Y"},
      {"WithinDie:7|WithinWafer:3,5", {"7|WithinWafer:3", "5"}, "Y"},
      {"checked, nothing found", {}, "N"},
      // A wafer in both sections gives two identical rows; the summary merges them.
      {"WithinWafer:4|WithinDie:4", {"4", "4"}, "Y"},
      // Pieces are not validated: spaces stay, empty pieces give rows.
      {"WithinWafer:3, 5,|WithinDie:", {"3", " 5", ""}, "Y"},
  };
  for (const CommentCase& c : cases) {
    RunFixture f;
    f.mes->on("COMMENTS IS NOT NULL", comments({{"E1", c.comment}}));
    runCommentCheck(f.run);
    EXPECT_EQ(waferSeqs(f), c.seqs) << c.comment;
    EXPECT_EQ(flagText(f.state.flags.IsEDCFail), c.edcFail) << c.comment;
  }
}

TEST(CommentCheck, APieceWithSpacesIsLookedUpAsWritten) {
  RunFixture f;
  f.mes->on("COMMENTS IS NOT NULL", comments({{"E1", "WithinWafer: 5"}}));
  runCommentCheck(f.run);
  ASSERT_EQ(f.mes->selects.size(), 1u);
  EXPECT_EQ(f.mes->selects[0].condition, "LOTID = 'LOT1'  AND SEQ = ' 5' ");
}

TEST(CommentCheck, OnlyTheFirstCommentedRecordIsRead) {
  RunFixture f;
  f.mes->on("COMMENTS IS NOT NULL",
            comments({{Variant::null(), "WithinDie:2"}, {"E2", "WithinWafer:9|WithinDie:10"}}));
  runCommentCheck(f.run);
  EXPECT_EQ(waferSeqs(f), Lists{"2"});
  EXPECT_EQ(f.rows()[0][col::kEqpId], Variant(""));
}

TEST(CommentCheck, AFailingQueryReachesTheCaller) {
  RunFixture f;
  f.mes->failOn("COMMENTS IS NOT NULL", AutomationError(-1, "ORA-00904"));
  EXPECT_THROW(runCommentCheck(f.run), AutomationError);
}

}  // namespace
}  // namespace velmora
