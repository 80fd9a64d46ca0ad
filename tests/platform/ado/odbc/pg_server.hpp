// The PostgreSQL server of the ODBC tests, as scripts/pg-test-server.sh describes it in the
// environment. Tests of suites whose names start with "OdbcPg" need it; without it they are
// skipped with a message saying how to run them (CI runs them through `make test-odbc`).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace velmora::testing {

struct PgServer {
  std::string mes;         // ODBC connection string of the demo MES database
  std::string inspection;  // ODBC connection string of the demo inspection database
  std::string driver;      // the ODBC driver name used in both
  std::string port;
  std::string password;  // of the role in both strings
  std::string oddUser;   // a role whose password holds ";", "}", "{", "=" and a blank
  std::string oddPassword;
};

inline std::string environmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// The server, or nullopt when the environment names none.
inline std::optional<PgServer> pgServer() {
  PgServer server;
  server.mes = environmentValue("VELMORA_TEST_PG_MES");
  server.inspection = environmentValue("VELMORA_TEST_PG_INSPECTION");
  server.driver = environmentValue("VELMORA_TEST_PG_DRIVER");
  server.port = environmentValue("VELMORA_TEST_PG_PORT");
  server.oddUser = environmentValue("VELMORA_TEST_PG_ODD_USER");
  server.oddPassword = environmentValue("VELMORA_TEST_PG_ODD_PASSWORD");
  if (server.mes.empty() || server.inspection.empty() || server.driver.empty() ||
      server.port.empty()) {
    return std::nullopt;
  }
  // The strings end with "PWD={<password>};" (the script writes no "}" into this password).
  const std::size_t at = server.mes.find("PWD={");
  if (at != std::string::npos) {
    const std::size_t end = server.mes.find('}', at + 5);
    server.password = server.mes.substr(at + 5, end - at - 5);
  }
  return server;
}

inline constexpr const char* kNoPgServer =
    "no PostgreSQL server configured (VELMORA_TEST_PG_MES, VELMORA_TEST_PG_INSPECTION, ...): "
    "run `make test-odbc`, or `scripts/pg-test-server.sh <build>/tests/velmora-tests "
    "--gtest_filter='OdbcPg*'`";

// Base fixture of the server tests: skips when there is no server.
class PgServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto found = pgServer();
    if (!found) GTEST_SKIP() << kNoPgServer;
    server = *found;
  }

  PgServer server;
};

}  // namespace velmora::testing
