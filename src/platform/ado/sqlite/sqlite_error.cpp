#include "platform/ado/sqlite/sqlite_error.hpp"

namespace velmora::ado::sqlite {

void raiseStatementError(sqlite3* db, const std::string& sql, const std::string& rewritten) {
  raiseStatementError(sqlite3_extended_errcode(db), sqlite3_errmsg(db), sql, rewritten);
}

void raiseStatementError(int code, const std::string& message, const std::string& sql,
                         const std::string& rewritten) {
  std::string description = message;
  description += " (statement: " + sql;
  if (rewritten != sql) description += "; as run: " + rewritten;
  description += ")";
  throw AutomationError(code, description, FailureKind::kNoAnswer);
}

}  // namespace velmora::ado::sqlite
