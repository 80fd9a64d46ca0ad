#include "platform/ado/odbc/wide_text.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora::ado::odbc {
namespace {

std::vector<SQLWCHAR> units(std::initializer_list<unsigned> values) {
  std::vector<SQLWCHAR> out;
  for (unsigned v : values) out.push_back(static_cast<SQLWCHAR>(v));
  return out;
}

TEST(OdbcWideText, RoundTripsEveryPlane) {
  // ASCII, two-, three- and four-byte forms (the last as a surrogate pair).
  const std::string text = "Ab \xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 \xE6\xB8\xAC";
  const std::vector<SQLWCHAR> wide = toWide(text);
  ASSERT_FALSE(wide.empty());
  EXPECT_EQ(wide.back(), 0);
  EXPECT_EQ(wide.size(), 12u);  // 10 code points, one of them two units, plus the terminator
  EXPECT_EQ(wide[7], 0xD83D);
  EXPECT_EQ(wide[8], 0xDE00);
  EXPECT_EQ(fromWide(wide.data(), wide.size() - 1), text);
}

TEST(OdbcWideText, InvalidUtf8BecomesReplacementCharacters) {
  // A lone continuation byte, a cut three-byte sequence, an over-long "/" and an encoded
  // surrogate: each bad byte is one U+FFFD, and the text around survives.
  const std::vector<SQLWCHAR> wide = toWide(
      "a\x80"
      "b\xE2\x82"
      "c\xC0\xAF"
      "d\xED\xA0\x80");
  const std::vector<SQLWCHAR> expected = units(
      {'a', 0xFFFD, 'b', 0xFFFD, 0xFFFD, 'c', 0xFFFD, 0xFFFD, 'd', 0xFFFD, 0xFFFD, 0xFFFD, 0});
  EXPECT_EQ(wide, expected);
}

TEST(OdbcWideText, UnpairedSurrogatesBecomeReplacementCharacters) {
  const std::vector<SQLWCHAR> lone = units({'x', 0xD800, 'y', 0xDC00});
  EXPECT_EQ(fromWide(lone), "x\xEF\xBF\xBDy\xEF\xBF\xBD");
  // A high surrogate as the very last unit (a piece cut in the middle of a pair).
  EXPECT_EQ(fromWide(units({0xD83D})), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace velmora::ado::odbc
