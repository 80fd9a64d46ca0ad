// The SQL lexer: its tokens cover the text in order, each of its kind, and each token's text
// read alone is that one token again (so no token depends on what follows it, except an
// unterminated one that runs to the end).
#include <string>

#include "platform/ado/sql_tokens.hpp"
#include "property.hpp"

namespace {

using velmora::ado::isSqlSpace;
using velmora::ado::SqlToken;
using velmora::ado::SqlTokenKind;
using velmora::ado::tokenizeSql;
using velmora::fuzz::require;

bool isWordChar(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '$' || c == '#' || c >= 0x80;
}

bool allOf(const std::string& text, bool (*pred)(unsigned char)) {
  for (char c : text) {
    if (!pred(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// Whether `text`, a token of `kind`, has the form of that kind.
bool hasFormOf(SqlTokenKind kind, const std::string& text) {
  switch (kind) {
    case SqlTokenKind::kSpace:
      if (text.rfind("--", 0) == 0) return text.find('\n') == std::string::npos;
      if (text.rfind("/*", 0) == 0) {
        // Up to its first "*/", or to the end of the text when it has none.
        const std::size_t close = text.find("*/", 2);
        return close == std::string::npos || close + 2 == text.size();
      }
      return allOf(text, [](unsigned char c) { return isSqlSpace(static_cast<char>(c)); });
    case SqlTokenKind::kWord:
      return allOf(text, isWordChar);
    case SqlTokenKind::kLiteral:
      return text[0] == '\'';
    case SqlTokenKind::kQuoted:
      return text[0] == '"' || text[0] == '`' || text[0] == '[';
    case SqlTokenKind::kPunct:
      return text.size() == 1 && !isWordChar(static_cast<unsigned char>(text[0])) &&
             !isSqlSpace(text[0]) && text != "'" && text != "\"" && text != "`" && text != "[";
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string sql = velmora::fuzz::textOf(data, size);
  const std::vector<SqlToken> tokens = tokenizeSql(sql);
  std::size_t at = 0;
  for (std::size_t k = 0; k < tokens.size(); ++k) {
    const SqlToken& token = tokens[k];
    require(token.begin == at && token.end > token.begin && token.end <= sql.size(),
            "tokens cover the text in order, none empty");
    const std::string text = sql.substr(token.begin, token.end - token.begin);
    require(hasFormOf(token.kind, text), "a token has the form of its kind", text);
    if (token.kind == SqlTokenKind::kPunct) {
      // "-" and "/" are punctuation only when they do not start a comment.
      const char next = token.end < sql.size() ? sql[token.end] : '\0';
      require(!(text == "-" && next == '-') && !(text == "/" && next == '*'),
              "a comment start is never punctuation", text);
    }
    if (k > 0 && token.kind == SqlTokenKind::kWord) {
      require(tokens[k - 1].kind != SqlTokenKind::kWord, "a word is never cut in two", text);
    }
    require(!token.unterminated || k + 1 == tokens.size(), "only the last token is unterminated",
            text);
    const std::vector<SqlToken> alone = tokenizeSql(text);
    require(alone.size() == 1 && alone[0].kind == token.kind &&
                alone[0].unterminated == token.unterminated,
            "a token's text read alone is that token", text);
    at = token.end;
  }
  require(at == sql.size(), "tokens cover the text to its end");
  return 0;
}
