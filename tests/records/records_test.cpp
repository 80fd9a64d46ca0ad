#include <gtest/gtest.h>

#include "velmora/abnormal.hpp"
#include "velmora/dataset.hpp"
#include "velmora/error.hpp"

namespace velmora {
namespace {

TEST(Abnormal, FieldsAreEmptyUntilSetAndIndependent) {
  Abnormal a;
  EXPECT_EQ(a.ItemName() + a.CollectType() + a.WaferID() + a.WaferSEQ() + a.EQPID() + a.TA() +
                a.WaferYield() + a.LotYield() + a.Reasons(),
            "");
  a.WaferID("W1");
  a.WaferID("W2");
  a.Reasons("ITEM/BYW");
  EXPECT_EQ(a.WaferID(), "W2");
  EXPECT_EQ(a.Reasons(), "ITEM/BYW");
  EXPECT_EQ(a.WaferSEQ(), "");
}

TEST(DataSet, KeepsDistinctTextsInFirstInsertionOrder) {
  DataSet set;
  EXPECT_EQ(set.GetAllValue(), "");
  set.Add("R1");
  set.Add("R2");
  set.Add("R1");
  EXPECT_EQ(set.Count(), 2);
  EXPECT_EQ(set.GetAllValue(), "R1,R2");
}

TEST(DataSet, KeysIgnoreLetterCaseAndKeepTheFirstSpelling) {
  DataSet set;
  set.Add("ab");
  set.Add("AB");
  EXPECT_EQ(set.Count(), 1);
  EXPECT_EQ(set.Item(Variant(1)), "ab");
  EXPECT_EQ(set.Item(Variant("Ab")), "ab");
}

TEST(DataSet, ItemAndRemoveByPositionOrKey) {
  DataSet set;
  set.Add("A");
  set.Add("B");
  EXPECT_EQ(set.Item(Variant(2)), "B");
  EXPECT_EQ(set.Item(Variant("B")), "B");
  set.Remove(Variant(1));
  EXPECT_EQ(set.Item(Variant(1)), "B");
  EXPECT_THROW(set.Remove(Variant(5)), AutomationError);
  EXPECT_THROW((void)set.Item(Variant("A")), AutomationError);
}

TEST(DataSet, AValueWithACommaIsNotQuoted) {
  DataSet set;
  set.Add("a,b");
  set.Add("c");
  EXPECT_EQ(set.GetAllValue(), "a,b,c");
}

TEST(DataSet, ClearLeavesAnEmptyUsableSet) {
  DataSet set;
  set.Add("A");
  set.Clear();
  EXPECT_EQ(set.Count(), 0);
  EXPECT_EQ(set.GetAllValue(), "");
  set.Add("A");
  EXPECT_EQ(set.Count(), 1);
}

}  // namespace
}  // namespace velmora
