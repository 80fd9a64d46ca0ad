#include "platform/ado/session_pool.hpp"

#include <gtest/gtest.h>

#include "platform/ado/sqlite/sqlite_driver.hpp"
#include "platform/counters/counters.hpp"
#include "support/temp_sqlite.hpp"

namespace velmora::ado {
namespace {

using velmora::testing::makeDatabase;
using velmora::testing::TempFolder;

TEST(SessionPool, ReusesAClosedLoginUnlessTheDatabaseChangedOrPoolingIsOff) {
  struct Case {
    bool pooling;
    bool rewrittenBetween;  // the file replaced by a new one with other data
    std::uint64_t logins;   // for the second open
  };
  for (const Case c : {Case{true, false, 0}, Case{true, true, 1}, Case{false, false, 1}}) {
    TempFolder folder;
    const std::string path = folder.file("inspection.db");
    makeDatabase(path, "CREATE TABLE T (V TEXT); INSERT INTO T VALUES ('first');");
    auto open = [&] {
      auto connection = std::make_shared<Connection>();
      connection->Provider = "sqlite";
      connection->Pooling = c.pooling;
      connection->Open("Data Source=" + path + ";");
      return connection;
    };
    open()->Close();
    if (c.rewrittenBetween) {
      std::filesystem::remove(path);
      makeDatabase(path, "CREATE TABLE T (V TEXT); INSERT INTO T VALUES ('second');");
    }
    const DatabaseCounters before = databaseCounters();
    const auto connection = open();
    const DatabaseCounters after = databaseCounters();
    EXPECT_EQ(after.logins - before.logins, c.logins) << c.pooling << c.rewrittenBetween;
    EXPECT_EQ(connection->Execute("SELECT V FROM T")->Fields(0),
              Variant(c.rewrittenBetween ? "second" : "first"));
  }
}

TEST(SessionPool, KeepsAFewPerKeyAndClosesIdleOnes) {
  TempFolder folder;
  const std::string path = folder.file("x.db");
  makeDatabase(path, "CREATE TABLE T (V TEXT);");
  SessionPool pool;
  const auto start = SessionPool::Clock::now();
  for (int i = 0; i < 6; ++i) pool.give("key", openSqliteSession(path, 1), start);
  pool.give("other", openSqliteSession(path, 1), start);
  EXPECT_EQ(pool.size(), SessionPool::kPerKey + 1);
  EXPECT_NE(pool.take("key", start), nullptr);
  EXPECT_EQ(pool.take("missing", start), nullptr);
  // Past the idle limit every session is closed, whichever key is asked for.
  EXPECT_EQ(pool.take("key", start + SessionPool::kIdleLimit + std::chrono::seconds(1)), nullptr);
  EXPECT_EQ(pool.size(), 0u);
}

}  // namespace
}  // namespace velmora::ado
