// inih's grammar for the Windows build. Debian's inih cannot be compiled into the Windows build
// from Debian's sources on every build machine, and Windows' own profile API reads another
// grammar (no "#" comments, no inline comments, no continuation lines), so the same configuration
// file would mean something else on Windows. This follows inih's ini_parse_stream line for line,
// with the options Debian builds it with; on Linux a test holds it to inih on a table of files.
#include <cctype>
#include <cstring>

#include "client/ini_stream.hpp"

namespace velmora::client {
namespace {

constexpr std::size_t kNameBuffer = 50;  // inih's MAX_SECTION and MAX_NAME
constexpr const char* kCommentLinePrefixes = ";#";
constexpr const char* kInlineCommentPrefixes = ";";

bool isBlank(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// Drops blanks at the end of `text`, whose end is `end`.
char* rightStrip(char* text, char* end) {
  while (end > text && isBlank(*(end - 1))) *--end = '\0';
  return text;
}

char* leftSkip(char* text) {
  while (*text != '\0' && isBlank(*text)) ++text;
  return text;
}

// The first of `chars` (any character when null) in `text`, or an inline comment's start (a
// prefix after a blank), or the end.
char* findCharsOrComment(char* text, const char* chars) {
  bool afterBlank = false;
  while (*text != '\0' && (chars == nullptr || std::strchr(chars, *text) == nullptr) &&
         !(afterBlank && std::strchr(kInlineCommentPrefixes, *text) != nullptr)) {
    afterBlank = isBlank(*text);
    ++text;
  }
  return text;
}

// Copies at most size - 1 bytes and terminates, cutting longer texts as inih does.
void copyCut(char* to, const char* from, std::size_t size) {
  std::size_t i = 0;
  for (; i + 1 < size && from[i] != '\0'; ++i) to[i] = from[i];
  to[i] = '\0';
}

}  // namespace

int parseIniLines(IniReader reader, void* stream, IniHandler handler, void* user) {
  char line[kIniLineBuffer];
  char section[kNameBuffer] = "";
  char previousName[kNameBuffer] = "";
  int number = 0;
  int error = 0;
  while (reader(line, static_cast<int>(sizeof line), stream) != nullptr) {
    ++number;
    char* start = line;
    if (number == 1 && static_cast<unsigned char>(start[0]) == 0xEF &&
        static_cast<unsigned char>(start[1]) == 0xBB &&
        static_cast<unsigned char>(start[2]) == 0xBF) {
      start += 3;
    }
    start = leftSkip(rightStrip(start, start + std::strlen(start)));
    if (std::strchr(kCommentLinePrefixes, *start) != nullptr && *start != '\0') {
      continue;  // a comment line
    }
    if (previousName[0] != '\0' && *start != '\0' && start > line) {
      // A line that starts with a blank: the previous name's value goes on.
      char* end = findCharsOrComment(start, nullptr);
      if (*end != '\0') *end = '\0';
      rightStrip(start, start + std::strlen(start));
      if (handler(user, section, previousName, start) == 0 && error == 0) error = number;
    } else if (*start == '[') {
      char* end = findCharsOrComment(start + 1, "]");
      if (*end == ']') {
        *end = '\0';
        copyCut(section, start + 1, sizeof section);
        previousName[0] = '\0';
      } else if (error == 0) {
        error = number;  // no "]"
      }
    } else if (*start != '\0') {
      char* end = findCharsOrComment(start, "=:");
      if (*end == '=' || *end == ':') {
        *end = '\0';
        char* name = rightStrip(start, end);
        char* value = end + 1;
        end = findCharsOrComment(value, nullptr);
        if (*end != '\0') *end = '\0';
        value = leftSkip(value);
        rightStrip(value, value + std::strlen(value));
        copyCut(previousName, name, sizeof previousName);
        if (handler(user, section, name, value) == 0 && error == 0) error = number;
      } else if (error == 0) {
        error = number;  // neither "=" nor ":"
      }
    }
  }
  return error;
}

}  // namespace velmora::client
