// openMesDatabase with "odbc:": the connection string is read by the ODBC rules before it is
// opened, and no failure shows a password.
#include <gtest/gtest.h>

#include "support/failure.hpp"

#include <string>

#include "velmora/client.hpp"
#include "velmora/error.hpp"

namespace velmora {
namespace {

AutomationError failureOf(const std::string& uri) {
  return velmora::testing::failureOf([&] { openMesDatabase(uri, ""); });
}

TEST(MesDatabaseOdbc, MalformedStringNamesTheItemNotItsValue) {
  const AutomationError error = failureOf("odbc:DSN=velmora-no-such-dsn;PWD={se;cret");
  EXPECT_EQ(error.number(), err::kInvalidCall);
  EXPECT_NE(error.description().find("'PWD'"), std::string::npos) << error.description();
  EXPECT_EQ(error.description().find("cret"), std::string::npos) << error.description();
}

TEST(MesDatabaseOdbc, PasswordStartingWithAQuoteNeverShows) {
  // Valid for ODBC (quotes mean nothing there), not as an OLE DB item: whichever layer fails,
  // the password stays out of the description.
  for (const std::string password : {"'s3cret", "\"s3cret", "s3cret"}) {
    const AutomationError error =
        failureOf("odbc:DSN=velmora-no-such-dsn;UID=mes;PWD=" + password + ";");
    EXPECT_EQ(error.description().find("s3cret"), std::string::npos) << error.description();
  }
}

}  // namespace
}  // namespace velmora
