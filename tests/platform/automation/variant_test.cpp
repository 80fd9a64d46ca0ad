#include "velmora/variant.hpp"

#include <gtest/gtest.h>

#include "platform/automation/collection.hpp"
#include "velmora/error.hpp"
#include "velmora/recordset.hpp"

namespace velmora {
namespace {

int errorOf(auto&& f) {
  try {
    f();
  } catch (const AutomationError& e) {
    return e.number();
  }
  return 0;
}

TEST(Variant, TextIsTheValueAppendedToTheEmptyText) {
  EXPECT_EQ(Variant().toText(), "");
  EXPECT_EQ(Variant::null().toText(), "");
  EXPECT_EQ(Variant(42).toText(), "42");
  EXPECT_EQ(Variant(std::int64_t{-7}).toText(), "-7");
  EXPECT_EQ(Variant(97.5).toText(), "97.5");
  EXPECT_EQ(Variant(100.0).toText(), "100");
  EXPECT_EQ(Variant(0.12).toText(), "0.12");
  EXPECT_EQ(Variant(-0.0).toText(), "0");
  EXPECT_EQ(Variant("abc").toText(), "abc");
}

TEST(Variant, NullTakenAsANumberOrStrictTextIsInvalidUseOfNull) {
  EXPECT_EQ(errorOf([] { (void)Variant::null().toDouble(); }), err::kInvalidNull);
  EXPECT_EQ(errorOf([] { (void)Variant::null().toTextStrict(); }), err::kInvalidNull);
  EXPECT_EQ(Variant().toDouble(), 0.0);
}

TEST(Variant, TextMustReadAsANumber) {
  EXPECT_EQ(Variant(" 97.5 ").toDouble(), 97.5);
  EXPECT_EQ(Variant("+3").toDouble(), 3.0);
  EXPECT_EQ(Variant("1e2").toDouble(), 100.0);
  EXPECT_EQ(errorOf([] { (void)Variant("12abc").toDouble(); }), err::kTypeMismatch);
  EXPECT_EQ(errorOf([] { (void)Variant("").toDouble(); }), err::kTypeMismatch);
  EXPECT_EQ(errorOf([] { (void)Variant("1 OR 1=1").toDouble(); }), err::kTypeMismatch);
}

TEST(Variant, SingleLimitsAreNarrowedThenWidened) {
  EXPECT_GT(Variant(0.1).toSingle(), 0.1);  // 0.100000001490116...
  EXPECT_EQ(Variant(1.5).toSingle(), 1.5);
  EXPECT_EQ(errorOf([] { (void)Variant(1e300).toSingle(); }), err::kOverflow);
}

TEST(Variant, IntegersRoundHalvesToEven) {
  EXPECT_EQ(Variant(2.5).toInteger(), 2);
  EXPECT_EQ(Variant(3.5).toInteger(), 4);
  EXPECT_EQ(Variant("2").toInteger(), 2);
}

TEST(Variant, KeepsTheTypeItWasGiven) {
  EXPECT_EQ(Variant(3).type(), Variant::Type::Integer);
  EXPECT_EQ(Variant("3").type(), Variant::Type::Text);
  EXPECT_NE(Variant(3), Variant("3"));
  EXPECT_TRUE(Variant::null().isNull());
  EXPECT_FALSE(Variant().isNull());
}

TEST(Collection, PositionsFromOneAndCaseInsensitiveKeys) {
  Collection<std::string> c;
  c.Add("first", std::string("Ab"));
  c.Add("second");
  EXPECT_EQ(c.Count(), 2u);
  EXPECT_EQ(c.Item(Variant(1)), "first");
  EXPECT_EQ(c.Item(Variant(2)), "second");
  EXPECT_EQ(c.Item(Variant("aB")), "first");
  EXPECT_EQ(errorOf([&] { c.Add("again", std::string("AB")); }), err::kDuplicateKey);
  EXPECT_EQ(errorOf([&] { (void)c.Item(Variant(0)); }), err::kSubscript);
  EXPECT_EQ(errorOf([&] { (void)c.Item(Variant(3)); }), err::kSubscript);
  EXPECT_EQ(errorOf([&] { (void)c.Item(Variant("zz")); }), err::kInvalidCall);
  c.Remove(Variant(1));
  EXPECT_EQ(c.Item(Variant(1)), "second");
}

TEST(MemoryRecordset, ReadsForwardByNameWithoutRegardToCase) {
  MemoryRecordset rs({"Defect", "LotDie"}, {{Variant(3), Variant(200)}, {Variant::null(), 1}});
  EXPECT_FALSE(rs.Eof());
  EXPECT_EQ(rs.Fields("DEFECT").toText(), "3");
  EXPECT_EQ(rs.Fields(1).toText(), "200");
  EXPECT_EQ(errorOf([&] { (void)rs.Fields("missing"); }), err::kItemNotFound);
  rs.MoveNext();
  EXPECT_TRUE(rs.Fields("defect").isNull());
  rs.MoveNext();
  EXPECT_TRUE(rs.Eof());
  EXPECT_EQ(errorOf([&] { (void)rs.Fields("Defect"); }), err::kNoCurrentRecord);
  EXPECT_EQ(errorOf([&] { rs.MoveNext(); }), err::kNoCurrentRecord);
}

}  // namespace
}  // namespace velmora
