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

// A server's data exception is data that answered unfit (the run goes on); every other failure
// means the database could not answer (the run ends).
TEST(OdbcError, DataExceptionsAreUnfitDataEverythingElseNoAnswer) {
  struct Case {
    std::vector<Diagnostic> records;
    const char* dbms;
    FailureKind kind;
  };
  const Case cases[] = {
      {{{"22012", 7, "ERROR: division by zero"}}, "PostgreSQL", FailureKind::kUnfitData},
      {{{"22P02", 7, "invalid input syntax for type integer"}}, "", FailureKind::kUnfitData},
      {{{"22018", 245, "Conversion failed"}, {"01000", 0, "info"}},
       "Microsoft SQL Server",
       FailureKind::kUnfitData},
      {{{"HY000", 1476, "ORA-01476: divisor is equal to zero"}}, "Oracle", FailureKind::kUnfitData},
      {{{"HY000", 1722, "ORA-01722: invalid number"}}, "Oracle", FailureKind::kUnfitData},
      {{{"HY000", 1403, "ORA-01403: no data found"}}, "Oracle", FailureKind::kUnfitData},
      {{{"HY000", 8134, "Divide by zero error encountered."}},
       "Microsoft SQL Server",
       FailureKind::kUnfitData},
      // The same native numbers mean nothing on another database, nor under another state.
      {{{"HY000", 1476, "general error"}}, "PostgreSQL", FailureKind::kNoAnswer},
      {{{"HY000", 8134, "general error"}}, "Oracle", FailureKind::kNoAnswer},
      {{{"42000", 1476, "syntax"}}, "Oracle", FailureKind::kNoAnswer},
      {{{"HY000", 942, "ORA-00942: table or view does not exist"}},
       "Oracle",
       FailureKind::kNoAnswer},
      {{{"42P01", 7, "relation does not exist"}}, "PostgreSQL", FailureKind::kNoAnswer},
      {{{"08S01", 0, "communication link failure"}}, "PostgreSQL", FailureKind::kNoAnswer},
      {{{"57P01", 7, "terminating connection"}}, "PostgreSQL", FailureKind::kNoAnswer},
      {{{"HYT00", 0, "timeout expired"}}, "Microsoft SQL Server", FailureKind::kNoAnswer},
      {{{"40001", 1205, "deadlock victim"}}, "Microsoft SQL Server", FailureKind::kNoAnswer},
      {{{"53200", 7, "out of memory"}}, "PostgreSQL", FailureKind::kNoAnswer},
      // A data exception beside a lost connection, or no diagnostic at all: no answer.
      {{{"22012", 7, "division by zero"}, {"08S01", 0, "lost"}},
       "PostgreSQL",
       FailureKind::kNoAnswer},
      {{}, "PostgreSQL", FailureKind::kNoAnswer},
  };
  for (const Case& c : cases) {
    const std::string shown = c.records.empty() ? "none" : c.records[0].state;
    EXPECT_EQ(odbcError(c.records, "", {}, c.dbms).kind(), c.kind) << shown << " on " << c.dbms;
  }
}

}  // namespace
}  // namespace velmora::ado::odbc
