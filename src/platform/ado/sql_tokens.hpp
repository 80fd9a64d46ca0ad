// A lexer for the SQL text the component sends, shared by the dialect steps of the drivers (the
// outer-join rewrite, the alias of derived tables). It knows just enough SQL to never mistake
// the inside of a literal, a quoted name or a comment for syntax.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace velmora::ado {

enum class SqlTokenKind {
  kSpace,    // a run of blanks, or a comment ("-- ..." to the end of the line, "/* ... */")
  kWord,     // letters, digits, "_", "$", "#" and non-ASCII bytes: keywords, names, numbers
  kLiteral,  // a text literal '...' ('' inside)
  kQuoted,   // a quoted name "...", `...` or [...]
  kPunct,    // any other single character
};

struct SqlToken {
  SqlTokenKind kind;
  std::size_t begin;  // byte offsets into the text
  std::size_t end;
  bool unterminated = false;  // a literal, quoted name or /* comment without its closing mark
};

// Splits `sql` into tokens that cover it completely, in order. Unterminated literals, quoted
// names and comments run to the end of the text (so only the last token can be unterminated).
std::vector<SqlToken> tokenizeSql(const std::string& sql);

// A blank character of SQL text.
bool isSqlSpace(char c);

}  // namespace velmora::ado
