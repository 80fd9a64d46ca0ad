#include "platform/ado/sql_tokens.hpp"

namespace velmora::ado {
namespace {

bool isWordChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '_' ||
         u == '$' || u == '#' || u >= 0x80;
}

}  // namespace

bool isSqlSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

std::vector<SqlToken> tokenizeSql(const std::string& s) {
  std::vector<SqlToken> tokens;
  std::size_t i = 0;
  const std::size_t n = s.size();
  while (i < n) {
    const std::size_t start = i;
    const char c = s[i];
    SqlTokenKind kind = SqlTokenKind::kPunct;
    bool unterminated = false;
    if (isSqlSpace(c)) {
      while (i < n && isSqlSpace(s[i])) ++i;
      kind = SqlTokenKind::kSpace;
    } else if (c == '-' && i + 1 < n && s[i + 1] == '-') {
      while (i < n && s[i] != '\n') ++i;
      kind = SqlTokenKind::kSpace;
    } else if (c == '/' && i + 1 < n && s[i + 1] == '*') {
      const std::size_t close = s.find("*/", i + 2);
      i = close == std::string::npos ? n : close + 2;
      unterminated = close == std::string::npos;
      kind = SqlTokenKind::kSpace;
    } else if (c == '\'' || c == '"' || c == '`' || c == '[') {
      const char close = c == '[' ? ']' : c;
      ++i;
      unterminated = true;
      while (i < n) {
        if (s[i] == close) {
          if (close != ']' && i + 1 < n && s[i + 1] == close) {
            i += 2;  // doubled quote inside
            continue;
          }
          ++i;
          unterminated = false;
          break;
        }
        ++i;
      }
      kind = c == '\'' ? SqlTokenKind::kLiteral : SqlTokenKind::kQuoted;
    } else if (isWordChar(c)) {
      while (i < n && isWordChar(s[i])) ++i;
      kind = SqlTokenKind::kWord;
    } else {
      ++i;
    }
    tokens.push_back({kind, start, i, unterminated});
  }
  return tokens;
}

}  // namespace velmora::ado
