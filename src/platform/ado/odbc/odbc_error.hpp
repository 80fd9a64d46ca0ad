// ODBC diagnostics turned into automation errors.
//
// Every failure of the ODBC driver is an AutomationError whose number is the driver's native
// error number (err::kGenericFailure when the driver gives none) and whose description holds
// each diagnostic record as "SQLSTATE <state>: <message>", followed by what was being done
// ("statement: ...", "connecting to ..."). Known secrets (the connection's passwords) are
// replaced by "***" wherever they occur in the description.
//
// Each error is marked with what it means for a check run (velmora/error.hpp): a server's data
// exception is data that answered unfit; every other failure means the database could not
// answer (see isDataException).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/ado/odbc/odbc_api.hpp"
#include "velmora/error.hpp"

namespace velmora::ado::odbc {

// One diagnostic record of an ODBC handle.
struct Diagnostic {
  std::string state;  // the five-character SQLSTATE
  SQLINTEGER native = 0;
  std::string message;
};

// The diagnostic records of `handle` (of type `type`), in the driver's order.
std::vector<Diagnostic> diagnosticsOf(SQLSMALLINT type, SQLHANDLE handle);

// True when one of `records` has SQLSTATE `state`.
bool hasState(const std::vector<Diagnostic>& records, const char* state);

// `text` with every occurrence of each non-empty secret replaced by "***".
std::string withoutSecrets(std::string text, const std::vector<std::string>& secrets);

// Whether `records` report a data exception of the server, the statement having run on data
// unfit for it: every error record (warnings of class 01 aside, at least one error) has an
// SQLSTATE of class 22, or is HY000 with a native number that the database named `dbmsName`
// (SQL_DBMS_NAME) uses for one: on Oracle ORA-01476 (divisor is equal to zero), ORA-01722
// (invalid number) and ORA-01403 (no data found); on SQL Server 8134 (divide by zero) and 245
// (conversion failed). Every other failure means that the database could not answer: among
// them classes 08 (connection), 40 (rollback), 42 (syntax, a missing table or column,
// permission), 53, 54, 57, 58 (resources, limits, operator intervention, system errors), HY000
// otherwise, and HYT00, HYT01 (timeouts); no diagnostic at all too.
bool isDataException(const std::vector<Diagnostic>& records, std::string_view dbmsName);

// The error for `records` and the description of what failed (`context`, appended in
// parentheses when not empty), secrets removed; marked kUnfitData when isDataException says so
// for `dbmsName` ("" when unknown: only class 22 then counts), otherwise kNoAnswer.
AutomationError odbcError(const std::vector<Diagnostic>& records, const std::string& context,
                          const std::vector<std::string>& secrets, std::string_view dbmsName = {});

// Throws odbcError for the diagnostics of `handle`.
[[noreturn]] void raiseOdbcError(SQLSMALLINT type, SQLHANDLE handle, const std::string& context,
                                 const std::vector<std::string>& secrets,
                                 std::string_view dbmsName = {});

// True for SQL_SUCCESS and SQL_SUCCESS_WITH_INFO.
inline bool succeeded(SQLRETURN rc) {
  return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO;
}

}  // namespace velmora::ado::odbc
