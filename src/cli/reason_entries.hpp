// The entries of a reason list: Reasons and LotDevReasons join entries "item/reason" with ",".
#pragma once

#include <string>
#include <vector>

namespace velmora::cli {

// The entries of `list`, split at every "," (none for an empty list).
inline std::vector<std::string> reasonEntries(const std::string& list) {
  std::vector<std::string> entries;
  if (list.empty()) return entries;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = list.find(',', start);
    entries.push_back(list.substr(start, comma - start));
    if (comma == std::string::npos) return entries;
    start = comma + 1;
  }
}

}  // namespace velmora::cli
