// Oracle functions that the component's statements use and SQLite lacks.
#pragma once

#include <sqlite3.h>

namespace velmora::ado::sqlite {

// Registers DECODE(expr, search1, result1, ..., [default]) with Oracle's semantics: the result
// of the first search equal to expr, else the default, else NULL. A NULL search matches a NULL
// expr. Two numbers compare as numbers; a number and a text that reads as a number (blanks
// around it allowed) compare as numbers too (Oracle converts the text); two texts (or blobs)
// compare byte for byte; anything else does not match. Fewer than three arguments is an error.
// Returns SQLite's result code.
int registerOracleFunctions(sqlite3* db);

}  // namespace velmora::ado::sqlite
