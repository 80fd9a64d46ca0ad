// Failures of the SQLite driver as AutomationErrors.
//
// Every failure of SQLite means that the database could not answer (FailureKind::kNoAnswer):
// BUSY and LOCKED (a lock held past the busy timeout), IOERR, CORRUPT, NOTADB, CANTOPEN, FULL,
// NOMEM, PERM, READONLY, and ERROR (no such table or column, a syntax error). SQLite raises no
// data exceptions when a statement runs: a division by zero gives NULL and values are not
// type-checked, so none of its result codes stands for data that answered unfit.
#pragma once

#include <sqlite3.h>

#include <string>

#include "velmora/error.hpp"

namespace velmora::ado::sqlite {

// The error for a failed statement: SQLite's extended result code as the number; the
// description is SQLite's message, then " (statement: <sql>)", and when the statement was
// rewritten before it ran, "; as run: <rewritten>" inside the parentheses. Marked kNoAnswer.
[[noreturn]] void raiseStatementError(sqlite3* db, const std::string& sql,
                                      const std::string& rewritten);
// The same with the code and message taken from the database before.
[[noreturn]] void raiseStatementError(int code, const std::string& message, const std::string& sql,
                                      const std::string& rewritten);

}  // namespace velmora::ado::sqlite
