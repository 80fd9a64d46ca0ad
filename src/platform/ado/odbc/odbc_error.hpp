// ODBC diagnostics turned into automation errors.
//
// Every failure of the ODBC driver is an AutomationError whose number is the driver's native
// error number (err::kGenericFailure when the driver gives none) and whose description holds
// each diagnostic record as "SQLSTATE <state>: <message>", followed by what was being done
// ("statement: ...", "connecting to ..."). Known secrets (the connection's passwords) are
// replaced by "***" wherever they occur in the description.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <string>
#include <vector>

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

// The error for `records` and the description of what failed (`context`, appended in
// parentheses when not empty), secrets removed.
AutomationError odbcError(const std::vector<Diagnostic>& records, const std::string& context,
                          const std::vector<std::string>& secrets);

// Throws odbcError for the diagnostics of `handle`.
[[noreturn]] void raiseOdbcError(SQLSMALLINT type, SQLHANDLE handle, const std::string& context,
                                 const std::vector<std::string>& secrets);

// True for SQL_SUCCESS and SQL_SUCCESS_WITH_INFO.
inline bool succeeded(SQLRETURN rc) {
  return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO;
}

}  // namespace velmora::ado::odbc
