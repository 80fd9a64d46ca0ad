#include "platform/ado/odbc/column_data.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace velmora::ado::odbc {
namespace {

// A driver's SQLGetData over one value, delivered in pieces as a driver does: each call fills
// the buffer (keeping room for the terminator) and reports either the remaining length or
// SQL_NO_TOTAL; once everything has been delivered it answers SQL_NO_DATA.
struct FakeColumn {
  std::string data;
  bool null = false;
  bool noTotal = false;
  std::size_t terminator = 1;
  std::size_t offset = 0;
  int calls = 0;

  Piece operator()(char* buffer, SQLLEN bytes) {
    ++calls;
    if (null) return {SQL_SUCCESS, SQL_NULL_DATA};
    if (offset == data.size() && calls > 1) return {SQL_NO_DATA, 0};
    const std::size_t room = static_cast<std::size_t>(bytes) - terminator;
    const std::size_t remaining = data.size() - offset;
    const std::size_t n = std::min(room, remaining);
    std::memcpy(buffer, data.data() + offset, n);
    if (terminator > 0) std::memset(buffer + n, 0, terminator);
    offset += n;
    if (remaining > room) {
      return {SQL_SUCCESS_WITH_INFO, noTotal ? SQL_NO_TOTAL : static_cast<SQLLEN>(remaining)};
    }
    return {SQL_SUCCESS, static_cast<SQLLEN>(remaining)};
  }
};

std::string longText(std::size_t size) {
  std::string text;
  for (std::size_t i = 0; i < size; ++i) text += static_cast<char>('a' + i % 26);
  return text;
}

TEST(OdbcColumnData, LongValuesComeInFullWithOrWithoutTotals) {
  // Narrow text (1-byte terminator), wide text (2 bytes: pieces of whole units only) and binary
  // (none), around and across the buffer size, with the remaining length or SQL_NO_TOTAL.
  for (const std::size_t terminator : {1u, 2u, 0u}) {
    for (const bool noTotal : {false, true}) {
      for (const std::size_t size : {0u, 2u, 14u, 16u, 74u, 1000u}) {
        FakeColumn column{longText(size)};
        column.terminator = terminator;
        column.noTotal = noTotal;
        const auto value = readPieces(std::ref(column), terminator, 16);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(*value, column.data)
            << "size " << size << ", terminator " << terminator << (noTotal ? ", no totals" : "");
      }
    }
  }
}

TEST(OdbcColumnData, NullAndEmptyDiffer) {
  FakeColumn null{""};
  null.null = true;
  EXPECT_FALSE(readPieces(std::ref(null), 1).has_value());
  FakeColumn empty{""};
  EXPECT_EQ(readPieces(std::ref(empty), 1), std::optional<std::string>(""));
}

TEST(OdbcColumnData, NumericTextBecomesIntegerOrDouble) {
  EXPECT_EQ(numericValue("400"), Variant(std::int64_t{400}));
  EXPECT_EQ(numericValue("400.000"), Variant(std::int64_t{400}));
  EXPECT_EQ(numericValue("-12"), Variant(std::int64_t{-12}));
  EXPECT_EQ(numericValue(".000"), Variant(std::int64_t{0}));
  EXPECT_EQ(numericValue("9223372036854775807"), Variant(std::int64_t{9223372036854775807}));

  EXPECT_EQ(numericValue("93.40000000000000000000"), Variant(93.4));
  EXPECT_EQ(numericValue(".5"), Variant(0.5));
  EXPECT_EQ(numericValue("-.25"), Variant(-0.25));
  EXPECT_EQ(numericValue("1E+20"), Variant(1e20));
  // Beyond 64 bits: a double rather than a wrong integer.
  EXPECT_EQ(numericValue("92233720368547758070"), Variant(92233720368547758070.0));
}

TEST(OdbcColumnData, NumericTextThatIsNoNumberStaysText) {
  for (const std::string text : {"", "-", ".", "NaN", "12abc", "1.2.3", "inf"}) {
    const Variant value = numericValue(text);
    EXPECT_EQ(value.type(), Variant::Type::Text) << text;
    EXPECT_EQ(value.toText(), text);
  }
}

}  // namespace
}  // namespace velmora::ado::odbc
