// The text routines: textBefore and textAfter split a text at a delimiter without losing a
// character; trimming removes exactly the outer spaces; a value made safe by sqlValue is one
// literal between quotes and says the value again, in a condition too; joining lists keeps
// their elements.
#include <string>
#include <vector>

#include "check/summary.hpp"
#include "common/text.hpp"
#include "platform/ado/sql_tokens.hpp"
#include "property.hpp"

namespace {

using namespace velmora;
using velmora::fuzz::require;

// The text of the single literal token of `sql` ('...' with quotes undoubled), or a note when
// `sql` has not exactly one.
std::string onlyLiteral(const std::string& sql) {
  std::string found = "(no literal)";
  int literals = 0;
  for (const ado::SqlToken& token : ado::tokenizeSql(sql)) {
    if (token.kind != ado::SqlTokenKind::kLiteral) continue;
    ++literals;
    const std::string quoted = sql.substr(token.begin, token.end - token.begin);
    if (quoted.size() < 2 || quoted.back() != '\'') return "(unterminated literal)";
    found.clear();
    for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
      found += quoted[i];
      if (quoted[i] == '\'') ++i;  // a doubled quote
    }
  }
  return literals == 1 ? found : "(" + std::to_string(literals) + " literals)";
}

void checkSplit(const std::string& text, const std::string& delimiter) {
  const std::string before = textBefore(text, delimiter);
  const std::string after = textAfter(text, delimiter);
  const std::string detail = text + "\ndelimiter: " + delimiter;
  if (text.empty()) {
    require(before.empty() && after.empty(), "an empty text splits into nothing", detail);
  } else if (text.find(delimiter) == std::string::npos) {
    require(before == text && after == text, "without the delimiter, the text itself", detail);
  } else {
    require(before + delimiter[0] + after == text,
            "before + the delimiter's first character + after reassembles the text", detail);
    require(before.find(delimiter) == std::string::npos, "the split is at the first delimiter",
            detail);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The first line is a delimiter (or an item), the rest a text.
  const auto [delimiter, text] = velmora::fuzz::splitOnce(velmora::fuzz::textOf(data, size), '\n');
  if (!delimiter.empty()) checkSplit(text, delimiter);
  checkSplit(text, "/");
  checkSplit(text, "|");

  const std::string trimmed = trimSpaces(text);
  require(trimmed.empty() == isBlank(text), "blank means nothing left after trimming", text);
  require(trimmed.empty() || (trimmed.front() != ' ' && trimmed.back() != ' '),
          "no outer space is left", text);
  if (!trimmed.empty()) {
    const std::size_t at = text.find(trimmed);
    require(at != std::string::npos && text.find_first_not_of(' ') == at &&
                text.find_last_not_of(' ') == at + trimmed.size() - 1,
            "only the outer spaces go", text);
  }

  require(onlyLiteral("'" + sqlValue(text) + "'") == text, "a safe value is one literal", text);
  std::string condition;
  appendCondition(condition, "F", text);
  require(onlyLiteral(condition) == text, "a condition's value is one literal", condition);
  // A condition of plain words (nothing that opens a literal, a quoted name or a comment).
  if (!isBlank(delimiter) && delimiter.find_first_of("'\"`[-/") == std::string::npos) {
    std::string two = delimiter;
    appendCondition(two, "F", text);
    require(two.rfind(delimiter + " AND F = '", 0) == 0 && onlyLiteral(two) == text,
            "a condition is added with AND", two);
  }

  // Lists: an item without a comma is found in any list it joined.
  if (text.find(',') == std::string::npos && !isBlank(text)) {
    require(listContains(joinText(delimiter, text), text), "joinText keeps the item", text);
    require(listContains(joinText(text, delimiter), text), "joinText keeps the item", text);
  }
  return 0;
}
