// Values spliced into the command's own read-only statements.
#pragma once

#include <string>

namespace velmora::cli {

// `value` as an SQL string literal: between single quotes, each quote inside doubled, so that a
// lot or step id such as O'NEIL stays one value.
inline std::string sqlLiteral(const std::string& value) {
  std::string out = "'";
  for (char c : value) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

}  // namespace velmora::cli
