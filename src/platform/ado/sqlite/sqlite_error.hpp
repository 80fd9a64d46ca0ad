// Failures of the SQLite driver as AutomationErrors.
#pragma once

#include <sqlite3.h>

#include <string>

#include "velmora/error.hpp"

namespace velmora::ado::sqlite {

// The error for a failed statement: SQLite's extended result code as the number; the
// description is SQLite's message, then " (statement: <sql>)", and when the statement was
// rewritten before it ran, "; as run: <rewritten>" inside the parentheses.
[[noreturn]] void raiseStatementError(sqlite3* db, const std::string& sql,
                                      const std::string& rewritten);

}  // namespace velmora::ado::sqlite
