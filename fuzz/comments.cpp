// The comment-list parser: a comment the MES writes, "WithinWafer:" + list + "|" +
// "WithinDie:" + list (either section alone too), gives back both lists exactly; any comment
// gives a within-wafer list that is a tail of its part before "|", never starting inside a
// UTF-8 character, and a within-die list that is the text after "WithinDie:".
#include <algorithm>
#include <string>

#include "checks/spc/comments.hpp"
#include "property.hpp"

namespace {

using velmora::getCommentList;
using velmora::fuzz::require;

bool isContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

void requireLists(const std::string& comment, const std::string& wafers, const std::string& dies) {
  require(getCommentList(comment, "W") == wafers, "the within-wafer list comes back", comment);
  require(getCommentList(comment, "D") == dies, "the within-die list comes back", comment);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input = velmora::fuzz::textOf(data, size);

  // Any comment.
  const std::string wafers = getCommentList(input, "W");
  if (input.find("WithinWafer:") == std::string::npos) {
    require(wafers.empty(), "no within-wafer heading, no list", input);
  } else {
    const std::string before = input.substr(0, input.find('|'));
    require(endsWith(before, wafers) &&
                before.size() - wafers.size() >= std::min<std::size_t>(12, before.size()),
            "the within-wafer list is the part before '|' less its heading", input);
    require(wafers.empty() || !isContinuationByte(wafers[0]), "a character is never cut in half",
            input);
  }
  const std::size_t die = input.find("WithinDie:");
  require(getCommentList(input, "D") == (die == std::string::npos ? "" : input.substr(die + 10)),
          "the within-die list is what follows its heading", input);

  // The MES's own form, with two lists taken from the input (split at its first newline): a
  // within-wafer list holds no "|" and no heading, and starts with a whole character.
  auto [first, dies] = velmora::fuzz::splitOnce(input, '\n');
  std::string wafersWritten;
  for (char c : first) {
    if (c != '|') wafersWritten += c;
  }
  if (wafersWritten.find("WithinDie:") != std::string::npos ||
      wafersWritten.find("WithinWafer:") != std::string::npos ||
      (!wafersWritten.empty() && isContinuationByte(wafersWritten[0]))) {
    return 0;
  }
  requireLists("WithinWafer:" + wafersWritten + "|WithinDie:" + dies, wafersWritten, dies);
  requireLists("WithinWafer:" + wafersWritten, wafersWritten, "");
  if (dies.find("WithinWafer:") == std::string::npos) requireLists("WithinDie:" + dies, "", dies);
  return 0;
}
