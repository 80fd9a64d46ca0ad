#include "platform/cache/statement_cache.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "velmora/error.hpp"

namespace velmora {
namespace {

const std::vector<std::string> kColumns = {"NULLED", "WHOLE", "REAL", "TEXT"};

std::vector<std::vector<Variant>> sampleRows() {
  return {{Variant::null(), Variant(std::int64_t{7}), Variant(97.5), Variant("03-A01")},
          {Variant::null(), Variant(std::int64_t{-2}), Variant(0.1), Variant("")},
          {Variant(std::int64_t{1}), Variant(std::int64_t{0}), Variant(100.0), Variant("µm")}};
}

// A source that counts how often it is asked and can fail: at once, or on a MoveNext.
struct Source {
  int executed = 0;
  bool failAtOnce = false;
  int failOnMoveNext = -1;  // the number of the MoveNext that fails (from 1), -1: none
  std::vector<std::vector<Variant>> rows = sampleRows();

  std::function<std::shared_ptr<Recordset>()> execute() {
    return [this]() -> std::shared_ptr<Recordset> {
      ++executed;
      if (failAtOnce) throw AutomationError(-942, "ORA-00942: table or view does not exist");
      return std::make_shared<FailingRecordset>(kColumns, rows, failOnMoveNext);
    };
  }

  class FailingRecordset : public MemoryRecordset {
   public:
    FailingRecordset(std::vector<std::string> columns, std::vector<std::vector<Variant>> rows,
                     int failOn)
        : MemoryRecordset(std::move(columns), std::move(rows)), failOn_(failOn) {}
    void MoveNext() override {
      if (++moves_ == failOn_) throw AutomationError(-3113, "ORA-03113: end-of-file");
      MemoryRecordset::MoveNext();
    }

   private:
    int failOn_;
    int moves_ = 0;
  };
};

struct Read {
  std::vector<std::string> columns;
  std::vector<std::vector<Variant>> rows;
};

Read readAll(Recordset& rows) {
  Read read;
  for (int i = 0; i < rows.FieldCount(); ++i) read.columns.push_back(rows.FieldName(i));
  for (; !rows.Eof(); rows.MoveNext()) {
    std::vector<Variant> row;
    for (int i = 0; i < rows.FieldCount(); ++i) row.push_back(rows.Fields(i));
    read.rows.push_back(row);
  }
  return read;
}

TEST(StatementCache, ARepeatIsAnsweredFromMemoryWithTheSameNamesTypesAndValues) {
  // However much of the first answer the caller reads, the repeat gets all of it, typed as
  // delivered, through a cursor of its own.
  for (const int firstRowsRead : {0, 1, 3}) {
    StatementCache cache(1 << 20);
    Source source;
    {
      const auto first = cache.answer("Q", source.execute());
      for (int i = 0; i < firstRowsRead; ++i) first->MoveNext();
    }
    const auto second = cache.answer("Q", source.execute());
    const auto third = cache.answer("Q", source.execute());
    EXPECT_EQ(source.executed, 1) << firstRowsRead;
    EXPECT_EQ(second->Fields("whole"), Variant(std::int64_t{7}));  // by name, any case
    second->MoveNext();
    const Read read = readAll(*second);
    EXPECT_EQ(read.columns, kColumns);
    ASSERT_EQ(read.rows.size(), 2u);
    EXPECT_EQ(read.rows[0][0].type(), Variant::Type::Null);
    EXPECT_EQ(read.rows[1][2], Variant(100.0));
    EXPECT_EQ(read.rows[1][3], Variant("µm"));
    EXPECT_EQ(readAll(*third).rows, sampleRows()) << "a fresh cursor per call";
    EXPECT_THROW(second->MoveNext(), AutomationError);
    EXPECT_THROW(second->Fields(0), AutomationError);
  }
  // A different key is a different statement.
  StatementCache cache(1 << 20);
  Source source;
  cache.answer("Q1", source.execute());
  cache.answer("Q2", source.execute());
  EXPECT_EQ(source.executed, 2);
}

TEST(StatementCache, FailuresAreNotKept) {
  StatementCache cache(1 << 20);
  Source failing;
  failing.failAtOnce = true;
  EXPECT_THROW(cache.answer("Q", failing.execute()), AutomationError);
  EXPECT_THROW(cache.answer("Q", failing.execute()), AutomationError);
  EXPECT_EQ(failing.executed, 2);

  // A failure while reading on reaches the caller where it would without the cache, and the
  // statement is sent again next time; so is one whose caller stopped early, the rest failing.
  for (const bool callerReadsOn : {true, false}) {
    const std::string key = callerReadsOn ? "read on" : "stopped early";
    Source midway;
    midway.failOnMoveNext = 2;
    {
      const auto rows = cache.answer(key, midway.execute());
      if (callerReadsOn) {
        rows->MoveNext();
        EXPECT_THROW(rows->MoveNext(), AutomationError);
      }
    }
    midway.failOnMoveNext = -1;
    readAll(*cache.answer(key, midway.execute()));
    cache.answer(key, midway.execute());
    EXPECT_EQ(midway.executed, 2) << key;
  }
  EXPECT_EQ(cache.size(), 2u);
}

TEST(StatementCache, MemoryIsBoundedAndZeroTurnsItOff) {
  struct Case {
    std::size_t limit;
    std::size_t textBytes;  // of each value of the TEXT column
    int executed;           // after three calls
  };
  const Case cases[] = {
      {1 << 20, 10, 1},  // kept
      {4096, 10000, 3},  // a result larger than the limit is never kept
      {0, 10, 3},        // off
  };
  for (const Case& c : cases) {
    StatementCache cache(c.limit);
    Source source;
    for (auto& row : source.rows) row[3] = Variant(std::string(c.textBytes, 'x'));
    for (int i = 0; i < 3; ++i) readAll(*cache.answer("Q", source.execute()));
    EXPECT_EQ(source.executed, c.executed) << c.limit;
    EXPECT_LE(cache.bytes(), c.limit);
  }

  // Once full, further results are not kept, and what is kept stays within the limit.
  StatementCache cache(8192);
  Source source;
  for (int i = 0; i < 50; ++i) readAll(*cache.answer("Q" + std::to_string(i), source.execute()));
  EXPECT_GT(cache.size(), 0u);
  EXPECT_LT(cache.size(), 50u);
  EXPECT_LE(cache.bytes(), 8192u);
  cache.clear();
  EXPECT_EQ(cache.size(), 0u);
  EXPECT_EQ(cache.bytes(), 0u);
}

TEST(StatementCache, KeysOfDifferentPartsNeverMeet) {
  EXPECT_NE(cacheKey({"ab", "c"}), cacheKey({"a", "bc"}));
  EXPECT_NE(cacheKey({"a", ""}), cacheKey({"a"}));
  EXPECT_EQ(cacheKey({"a", "b"}), cacheKey({"a", "b"}));
}

}  // namespace
}  // namespace velmora
