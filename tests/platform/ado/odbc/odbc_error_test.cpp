#include "platform/ado/odbc/odbc_error.hpp"

#include <gtest/gtest.h>

namespace velmora::ado::odbc {
namespace {

TEST(OdbcError, CarriesNativeNumberSqlstateAndMessage) {
  const AutomationError error = odbcError(
      {{"42P01", 7, "ERROR: relation \"nope\" does not exist"}, {"01000", 0, "second record"}},
      "statement: SELECT * FROM nope", {});
  EXPECT_EQ(error.number(), 7);
  EXPECT_EQ(error.description(),
            "SQLSTATE 42P01: ERROR: relation \"nope\" does not exist; SQLSTATE 01000: second "
            "record (statement: SELECT * FROM nope)");
}

TEST(OdbcError, WithoutNativeNumberItIsTheGenericFailure) {
  EXPECT_EQ(odbcError({{"08001", 0, "no"}}, "", {}).number(), err::kGenericFailure);
  EXPECT_EQ(odbcError({}, "", {}).number(), err::kGenericFailure);
}

TEST(OdbcError, SecretsNeverShow) {
  const AutomationError error =
      odbcError({{"28P01", 1, "password \"hunter2\" rejected for hunter2"}},
                "connecting to UID=u;PWD=hunter2;", {"hunter2", ""});
  EXPECT_EQ(error.description().find("hunter2"), std::string::npos) << error.description();
  EXPECT_NE(error.description().find("PWD=***"), std::string::npos) << error.description();
}

}  // namespace
}  // namespace velmora::ado::odbc
