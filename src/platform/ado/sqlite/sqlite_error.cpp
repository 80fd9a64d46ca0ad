#include "platform/ado/sqlite/sqlite_error.hpp"

namespace velmora::ado::sqlite {

void raiseStatementError(sqlite3* db, const std::string& sql, const std::string& rewritten) {
  const int code = sqlite3_extended_errcode(db);
  std::string description = sqlite3_errmsg(db);
  description += " (statement: " + sql;
  if (rewritten != sql) description += "; as run: " + rewritten;
  description += ")";
  throw AutomationError(code, description, FailureKind::kNoAnswer);
}

}  // namespace velmora::ado::sqlite
