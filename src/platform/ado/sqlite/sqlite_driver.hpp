// The SQLite driver: the MES and inspection databases of a demo or test installation.
//
// The database file is opened read-only (the component never writes); a missing file is a
// failure naming it, never a new empty database. Statements run as the component sends them:
// Oracle's outer-join marker is rewritten (rewriteOuterJoins) and DECODE is a registered
// function; nothing else is translated. Values come typed: INTEGER as a 64-bit integer, REAL as
// a double, TEXT as text, BLOB as text (its bytes), NULL as Null.
#pragma once

#include <memory>
#include <string>

#include "platform/ado/connection.hpp"

namespace velmora::ado {

// Opens the SQLite database file at `path` (taken as given: relative to the working folder when
// relative). `busyTimeoutSeconds` bounds the wait for a lock held by a writer (0: no limit).
// Failures are AutomationErrors numbered with SQLite's extended result code whose description
// names the file.
std::unique_ptr<Session> openSqliteSession(const std::string& path, long busyTimeoutSeconds);

}  // namespace velmora::ado
