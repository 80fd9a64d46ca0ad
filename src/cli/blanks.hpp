// Blanks (spaces and tabs) around the values the command reads: CSV fields, slot numbers.
#pragma once

#include <string>

namespace velmora::cli {

inline bool isBlankChar(char c) {
  return c == ' ' || c == '\t';
}

// `text` without its leading and trailing blanks.
inline std::string trimBlanks(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && isBlankChar(text[begin])) ++begin;
  while (end > begin && isBlankChar(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

}  // namespace velmora::cli
