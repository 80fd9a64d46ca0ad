#include "check/summary.hpp"

#include <gtest/gtest.h>

#include "support/run_fixture.hpp"

namespace velmora {
namespace {

using testing::Answer;
using testing::RunFixture;

struct SummaryFixture : RunFixture {
  explicit SummaryFixture(const std::string& station) {
    mes->on("SELECT B.STATION", Answer{{"STATION"}, {{Variant(station)}}});
  }

  void row(const Variant& item, const Variant& eqp, const Variant& collect, const Variant& seq,
           const Variant& wafer, const Variant& finding, const Variant& ta,
           const Variant& lotYield = Variant(), const Variant& waferYield = Variant()) {
    Row& r = state.abnormalities.append();
    r[col::kItemName] = item;
    r[col::kEqpId] = eqp;
    r[col::kCollectType] = collect;
    r[col::kWaferSeq] = seq;
    r[col::kWaferId] = wafer;
    r[col::kFinding] = finding;
    r[col::kTa] = ta;
    r[col::kLotYield] = lotYield;
    r[col::kWaferYield] = waferYield;
  }

  std::shared_ptr<Abnormal> record(int position) const {
    return state.records.Item(Variant(position));
  }
};

TEST(Summary, NothingFoundGivesNoRecordsAndOk) {
  SummaryFixture f("ST-FQ");
  summarize(f.run);
  EXPECT_EQ(f.run.result, "ok");
  EXPECT_EQ(f.state.records.Count(), 0u);
  EXPECT_EQ(f.state.lotDevReasons, "");
  EXPECT_EQ(f.mes->statements.size(), 0u);
}

TEST(Summary, FailCountRowsOfOneWaferFromTwoItemsMergeIntoOneRecord) {
  SummaryFixture f("ST-FQ");
  f.row("ITEM1", "EQ1", "2", 3, "W03", "BYW", "TA1", 97.5, 96.0);
  f.row("ITEM2", "EQ2", "2", 3, "W03", "R1,R2", "TA1", 95.25, 98.0);
  summarize(f.run);
  ASSERT_EQ(f.state.records.Count(), 1u);
  const auto r = f.record(1);
  EXPECT_EQ(r->ItemName(), "ITEM1,ITEM2");
  EXPECT_EQ(r->EQPID(), "EQ1,EQ2");
  EXPECT_EQ(r->TA(), "TA1");
  EXPECT_EQ(r->Reasons(), "ITEM1/BYW,ITEM2/R1,ITEM2/R2");
  EXPECT_EQ(r->WaferSEQ(), "3");
  EXPECT_EQ(r->WaferID(), "W03");
  EXPECT_EQ(r->CollectType(), "2");
  EXPECT_EQ(r->LotYield(), "95.25");
  EXPECT_EQ(r->WaferYield(), "96");
}

TEST(Summary, CollectTypesStaySeparateAndOneTypeKeepsTheFirstYields) {
  SummaryFixture f("ST-FQ");
  f.row("SPC", "EQ1", "1", "5", "W05", "OFC", "TA1");
  f.row("SPC", "EQ1", "1", "5", "W05", "OFC", "TA1");  // the same wafer listed twice
  f.row("FC", "EQ2", "2", 5, "W05", "OFCS", "TA1", 90.0, 80.0);
  summarize(f.run);
  ASSERT_EQ(f.state.records.Count(), 2u);
  EXPECT_EQ(f.record(1)->Reasons(), "SPC/OFC");
  EXPECT_EQ(f.record(1)->CollectType(), "1");
  EXPECT_EQ(f.record(1)->LotYield(), "");
  EXPECT_EQ(f.record(2)->Reasons(), "FC/OFCS");
}

TEST(Summary, TextsNeverEqualNumbersAndEmptyEqualsZero) {
  EXPECT_FALSE(sameValue(Variant("3"), Variant(3)));
  EXPECT_TRUE(sameValue(Variant(3), Variant(3.0)));
  EXPECT_TRUE(sameValue(Variant(), Variant("")));
  EXPECT_TRUE(sameValue(Variant(), Variant(0)));
  EXPECT_FALSE(sameValue(Variant(), Variant("0")));
  EXPECT_FALSE(sameValue(Variant::null(), Variant::null()));
  EXPECT_TRUE(sameValue(Variant("a"), Variant("a")));
}

TEST(Summary, AValueCountsAsPresentOnlyWhenItEqualsAnElement) {
  // A list holding ITEM/OFCS still takes ITEM/OFC, and BUMP2 does not hide BUMP.
  SummaryFixture f("ST-FQ");
  f.row("BUMP2", "EQ1", "1", "1", "W01", "OFCS", "TA1");
  f.row("BUMP", "EQ", "1", "1", "W01", "OFC", "TA");
  f.row("BUMP", "", "1", "1", "W01", "OFC", "");
  summarize(f.run);
  ASSERT_EQ(f.state.records.Count(), 1u);
  EXPECT_EQ(f.record(1)->ItemName(), "BUMP2,BUMP");
  EXPECT_EQ(f.record(1)->EQPID(), "EQ1,EQ");
  EXPECT_EQ(f.record(1)->TA(), "TA1,TA");
  EXPECT_EQ(f.record(1)->Reasons(), "BUMP2/OFCS,BUMP/OFC");
  EXPECT_TRUE(listContains("A,B,C", "B"));
  EXPECT_FALSE(listContains("AB,C", "A"));
}

TEST(Summary, ANullCellGivesTheEmptyTextInsteadOfEndingTheRun) {
  SummaryFixture f("ST-FQ");
  f.row("ITEM", Variant::null(), "2", 4, Variant::null(), "BYW", "TA1", 99.0, Variant::null());
  summarize(f.run);
  ASSERT_EQ(f.state.records.Count(), 1u);
  EXPECT_EQ(f.record(1)->EQPID(), "");
  EXPECT_EQ(f.record(1)->WaferID(), "");
  EXPECT_EQ(f.record(1)->WaferYield(), "");
  EXPECT_EQ(f.run.result, "ok");
}

TEST(Summary, RowsWhoseCodesTranslateToNothingMakeNoRecord) {
  SummaryFixture f("ST-PLATE");
  f.row("AUG", "M1", "2", "7", "A7", "WLY", "user", 90.0, 80.0);
  f.row("SPC", "EQ", "1", "8", "W08", "", "TA1");
  summarize(f.run);
  EXPECT_EQ(f.state.records.Count(), 0u);
  EXPECT_EQ(f.state.summary.lastIndex(), 2u);
}

struct Translation {
  const char* station;
  const char* code;
  const char* reason;
};

TEST(TnsReason, TranslatesPerStationClass) {
  const Translation cases[] = {
      {"ST-IQ", "CP", ""},
      {"ST-IQ", "WLY", "IQCVMR998"},
      {"ST-IQ", "LLY", "IQCVMR999"},
      {"ST-IQ", "BYW", "BYW"},
      {"ST-FQ", "CPK", "FQCIDT021"},
      {"ST-FQ", "WLY", "FQCIDT022"},
      {"ST-FQ", "LLY", "FQCIDT023"},
      {"IQ-FQ", "LLY", "FQCIDT023"},
      {"PLATE-1", "CPCPK", "IPQIDPM03"},
      {"PLATE-1", "WLY", ""},
      {"PHOTO-2", "CP", "IPQIDDM25"},
      {"PHOTO-PLATE", "CP", "IPQIDPM03"},
      {"PHOTO-2", "LLY", ""},
      {"ETCH", "CPK", ""},
      {"ETCH", "OFS", "OFS"},
      {"ETCH", "R17", "R17"},
  };
  for (const Translation& c : cases) {
    RunFixture f;
    f.mes->on("SELECT B.STATION", Answer{{"STATION"}, {{Variant(c.station)}}});
    EXPECT_EQ(tnsReason(f.run, c.code, "STEP1"), c.reason) << c.station << " " << c.code;
  }
}

TEST(TnsReason, EmptyCodeOrStepTranslatesToNothingWithoutAQuery) {
  RunFixture f;
  EXPECT_EQ(tnsReason(f.run, "", "STEP1"), "");
  EXPECT_EQ(tnsReason(f.run, "LLY", ""), "");
  EXPECT_TRUE(f.mes->statements.empty());
  EXPECT_EQ(f.trace->entries.size(), 2u);  // the start entries
}

TEST(TnsReason, AStepWithoutStationIsIpqcWithNeitherWord) {
  RunFixture f;
  EXPECT_EQ(tnsReason(f.run, "CP", "STEP1"), "");
  EXPECT_EQ(tnsReason(f.run, "BYL", "STEP1"), "BYL");
}

TEST(LotDevReasons, TranslatesEachEntryAndKeepsDuplicates) {
  SummaryFixture f("ST-IQ");
  f.run.lotDeviations = "ITEM/LLY,ITEM/CPK,ITEM_Short/SDL,ITEM/LLY";
  summarize(f.run);
  EXPECT_EQ(f.state.lotDevReasons, "ITEM/IQCVMR999,ITEM_Short/SDL,ITEM/IQCVMR999");
}

TEST(LotDevReasons, EntriesAreSplitAtCommasAndTheFirstSlash) {
  SummaryFixture f("ST-FQ");
  f.run.lotDeviations = "A/B/LLY,X,Y/OFS";
  summarize(f.run);
  // "A/B/LLY" splits at its first "/": the code "B/LLY" passes unchanged; "X" has no "/" and
  // passes as its own item and code.
  EXPECT_EQ(f.state.lotDevReasons, "A/B/LLY,X/X,Y/OFS");
}

TEST(Summary, SpcRulesAreEachTranslatedAtAnFqcStep) {
  SummaryFixture f("ST-FQ");
  f.row("SPC", "EQ", "1", "2", "W02", "OFCS,R1,R5", "TA1");
  summarize(f.run);
  ASSERT_EQ(f.state.records.Count(), 1u);
  EXPECT_EQ(f.record(1)->Reasons(), "SPC/OFCS,SPC/R1,SPC/R5");
}

}  // namespace
}  // namespace velmora
