// The SQLOLEDB.1 provider's default driver (FreeTDS) against servers that never answer or
// refuse: the login gives up within the connection timeout, with the driver's diagnostics.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "platform/ado/connection.hpp"
#include "platform/ado/odbc/loopback.hpp"
#include "velmora/error.hpp"

namespace velmora::ado {
namespace {

using Clock = std::chrono::steady_clock;

struct Attempt {
  AutomationError error{0, ""};
  double seconds = 0;
  bool failed = false;
};

// Opens the component's inspection connection (timeout 3 s) to 127.0.0.1 on `port`.
Attempt openInspection(int port) {
  Connection connection;
  connection.ConnectionTimeout = 3;
  connection.CursorLocation = kUseClient;
  connection.Provider = "SQLOLEDB.1";
  Attempt attempt;
  const auto start = Clock::now();
  try {
    connection.Open("Data Source=127.0.0.1," + std::to_string(port) +
                    ";User Id=inspector;Password=s3cret-pw;Initial Catalog=INSPECTION;");
  } catch (const AutomationError& error) {
    attempt.error = error;
    attempt.failed = true;
  }
  attempt.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  EXPECT_FALSE(connection.IsOpen());
  return attempt;
}

TEST(OdbcLoginTimeout, ServerThatNeverAnswersGivesUpAfterTheTimeout) {
  velmora::testing::SilentListener listener;
  const Attempt attempt = openInspection(listener.port());
  ASSERT_TRUE(attempt.failed);
  EXPECT_GE(attempt.seconds, 2.5) << attempt.error.description();
  EXPECT_LE(attempt.seconds, 3.5) << attempt.error.description();
  EXPECT_NE(attempt.error.description().find("SQLSTATE"), std::string::npos)
      << attempt.error.description();
  EXPECT_NE(attempt.error.description().find("Driver={FreeTDS}"), std::string::npos)
      << attempt.error.description();
  EXPECT_EQ(attempt.error.description().find("s3cret-pw"), std::string::npos)
      << attempt.error.description();
}

TEST(OdbcLoginTimeout, RefusingPortFailsAtOnce) {
  const Attempt attempt = openInspection(velmora::testing::closedLoopbackPort());
  ASSERT_TRUE(attempt.failed);
  EXPECT_LE(attempt.seconds, 3.5) << attempt.error.description();
  EXPECT_NE(attempt.error.description().find("SQLSTATE"), std::string::npos)
      << attempt.error.description();
  EXPECT_EQ(attempt.error.description().find("s3cret-pw"), std::string::npos)
      << attempt.error.description();
}

}  // namespace
}  // namespace velmora::ado
