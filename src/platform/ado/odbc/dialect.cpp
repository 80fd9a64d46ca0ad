#include "platform/ado/odbc/dialect.hpp"

#include <cstddef>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "platform/ado/outer_join.hpp"
#include "platform/ado/sql_tokens.hpp"
#include "platform/automation/text_compare.hpp"

namespace velmora::ado::odbc {
namespace {

enum class Kind { Word, Open, Close, Comma, Other };

struct Token {
  Kind kind;
  std::size_t begin;
  std::size_t end;
};

// The significant tokens of `s`: words, parentheses, commas and other characters; blanks and
// comments are skipped, and a literal or quoted name counts as Other.
std::vector<Token> lex(const std::string& s) {
  std::vector<Token> tokens;
  for (const SqlToken& t : tokenizeSql(s)) {
    Kind kind = Kind::Other;
    if (t.kind == SqlTokenKind::kSpace) continue;
    if (t.kind == SqlTokenKind::kWord) {
      kind = Kind::Word;
    } else if (t.kind == SqlTokenKind::kPunct) {
      const char c = s[t.begin];
      kind = c == '(' ? Kind::Open : c == ')' ? Kind::Close : c == ',' ? Kind::Comma : Kind::Other;
    }
    tokens.push_back({kind, t.begin, t.end});
  }
  return tokens;
}

bool isWord(const std::string& s, const Token& token, std::string_view word) {
  return token.kind == Kind::Word &&
         equalsIgnoreCase(std::string_view(s).substr(token.begin, token.end - token.begin), word);
}

bool isAnyWord(const std::string& s, const Token& token,
               std::initializer_list<std::string_view> words) {
  for (std::string_view word : words) {
    if (isWord(s, token, word)) return true;
  }
  return false;
}

// Words that may follow a derived table and are not its alias.
bool endsTableReference(const std::string& s, const Token& token) {
  return isAnyWord(
      s, token,
      {"WHERE",  "GROUP", "ORDER", "HAVING", "UNION",   "INTERSECT", "EXCEPT", "MINUS",    "JOIN",
       "INNER",  "LEFT",  "RIGHT", "FULL",   "CROSS",   "NATURAL",   "ON",     "USING",    "LIMIT",
       "OFFSET", "FETCH", "FOR",   "WINDOW", "CONNECT", "START",     "MODEL",  "RETURNING"});
}

// Clause words that end a FROM list at their level.
bool leavesFromClause(const std::string& s, const Token& token) {
  return isAnyWord(
      s, token,
      {"SELECT", "WHERE", "GROUP", "ORDER", "HAVING", "UNION", "INTERSECT", "EXCEPT", "MINUS", "ON",
       "USING", "LIMIT", "OFFSET", "FETCH", "WINDOW", "CONNECT", "START", "SET", "VALUES"});
}

}  // namespace

bool isOracle(const std::string& dbmsName) {
  constexpr std::string_view kOracle = "Oracle";
  return dbmsName.size() >= kOracle.size() &&
         equalsIgnoreCase(std::string_view(dbmsName).substr(0, kOracle.size()), kOracle);
}

std::string aliasDerivedTables(const std::string& sql) {
  const std::vector<Token> tokens = lex(sql);
  // Per open parenthesis level: whether its FROM list is being read, and whether the level is
  // a derived table.
  struct Level {
    bool inFrom = false;
    bool derived = false;
  };
  std::vector<Level> levels(1);
  std::vector<std::size_t> insertAfter;  // offsets just past the ")" of unaliased tables
  for (std::size_t t = 0; t < tokens.size(); ++t) {
    const Token& token = tokens[t];
    Level& level = levels.back();
    switch (token.kind) {
      case Kind::Word:
        if (isWord(sql, token, "FROM")) {
          level.inFrom = true;
        } else if (leavesFromClause(sql, token)) {
          level.inFrom = false;
        } else if (isWord(sql, token, "JOIN")) {
          level.inFrom = true;  // after "ON ..." a further JOIN goes on with the FROM list
        }
        break;
      case Kind::Open: {
        bool derived = false;
        if (level.inFrom && t > 0 && t + 1 < tokens.size()) {
          const Token& before = tokens[t - 1];
          const bool tablePlace = isWord(sql, before, "FROM") || isWord(sql, before, "JOIN") ||
                                  before.kind == Kind::Comma;
          derived = tablePlace &&
                    (isWord(sql, tokens[t + 1], "SELECT") || isWord(sql, tokens[t + 1], "WITH"));
        }
        levels.push_back({false, derived});
        break;
      }
      case Kind::Close: {
        if (levels.size() == 1) break;  // unbalanced: leave the text to the database
        const bool derived = levels.back().derived;
        levels.pop_back();
        if (!derived) break;
        const bool aliased = t + 1 < tokens.size() && tokens[t + 1].kind == Kind::Word &&
                             !endsTableReference(sql, tokens[t + 1]);
        if (!aliased) insertAfter.push_back(token.end);
        break;
      }
      case Kind::Comma:
      case Kind::Other:
        break;
    }
  }
  if (insertAfter.empty()) return sql;
  std::string out;
  out.reserve(sql.size() + insertAfter.size() * 16);
  std::size_t copied = 0;
  int number = 0;
  for (std::size_t at : insertAfter) {
    out.append(sql, copied, at - copied);
    out += " velmora_dt" + std::to_string(++number);
    copied = at;
  }
  out.append(sql, copied, std::string::npos);
  return out;
}

std::string nonOracleStatement(const std::string& sql) {
  return aliasDerivedTables(rewriteOuterJoins(sql));
}

}  // namespace velmora::ado::odbc
