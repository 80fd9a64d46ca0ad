#include "common/text.hpp"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(AppendList, ReplacesABlankListAndJoinsWithCommaBlank) {
  std::string list;
  EXPECT_EQ(appendList(list, "A"), "A");
  EXPECT_EQ(appendList(list, "B"), "A, B");
  EXPECT_EQ(list, "A, B");
  std::string blanks = "   ";
  EXPECT_EQ(appendList(blanks, "B"), "B");
}

TEST(AppendCondition, BuildsQuotedTermsJoinedByAnd) {
  std::string condition;
  EXPECT_EQ(appendCondition(condition, "LOTID", "L1"), "LOTID = 'L1' ");
  EXPECT_EQ(appendCondition(condition, "SEQ", "3"), "LOTID = 'L1'  AND SEQ = '3' ");
}

TEST(AppendCondition, DoublesQuotesInsideTheValue) {
  std::string condition;
  EXPECT_EQ(appendCondition(condition, "LOTID", "O'NEIL"), "LOTID = 'O''NEIL' ");
  std::string crafted;
  EXPECT_EQ(appendCondition(crafted, "LOTID", "x' OR '1'='1"), "LOTID = 'x'' OR ''1''=''1' ");
}

TEST(SqlValue, DoublesEverySingleQuoteAndLeavesOtherTextAlone) {
  EXPECT_EQ(sqlValue("AB123.1"), "AB123.1");
  EXPECT_EQ(sqlValue("'"), "''");
  EXPECT_EQ(sqlValue("a''b"), "a''''b");
  EXPECT_EQ(sqlValue(""), "");
}

TEST(StationClass, FqWinsOverIqAndEverythingElseIsIpqc) {
  EXPECT_EQ(stationClass("ST-IQ-01"), "IQC");
  EXPECT_EQ(stationClass("ST-FQ-01"), "FQC");
  EXPECT_EQ(stationClass("IQFQ"), "FQC");
  EXPECT_EQ(stationClass("PLATE-3"), "IPQC");
  EXPECT_EQ(stationClass(""), "IPQC");
  EXPECT_EQ(stationClass("iq-lower"), "IPQC");
}

TEST(JoinText, SkipsBlankSides) {
  EXPECT_EQ(joinText("A", "B"), "A,B");
  EXPECT_EQ(joinText("A", "  "), "A");
  EXPECT_EQ(joinText(" ", "B"), "B");
  EXPECT_EQ(joinText("", ""), "");
  EXPECT_EQ(joinText("  ", " "), "  ");
}

TEST(TextBeforeAfter, SplitAtTheFirstDelimiter) {
  EXPECT_EQ(textBefore("ITEM/BYW", "/"), "ITEM");
  EXPECT_EQ(textAfter("ITEM/BYW", "/"), "BYW");
  EXPECT_EQ(textBefore("A/B/C", "/"), "A");
  EXPECT_EQ(textAfter("A/B/C", "/"), "B/C");
  EXPECT_EQ(textBefore("NOSLASH", "/"), "NOSLASH");
  EXPECT_EQ(textAfter("NOSLASH", "/"), "NOSLASH");
  EXPECT_EQ(textBefore("", "/"), "");
  EXPECT_EQ(textAfter("", "/"), "");
}

TEST(IsBlank, OnlySpacesCount) {
  EXPECT_TRUE(isBlank(""));
  EXPECT_TRUE(isBlank("   "));
  EXPECT_FALSE(isBlank(" x "));
  EXPECT_EQ(trimSpaces("  a b  "), "a b");
}

}  // namespace
}  // namespace velmora
