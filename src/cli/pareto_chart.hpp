// A Pareto chart of reason codes as inline SVG.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace velmora::cli {

struct ParetoBar {
  std::string code;   // what is counted: data-code of the bar
  std::string label;  // what the bar says ("FQCIDT023 Probe mark"), cut when long
  std::size_t count = 0;
};

// Horizontal bars in the order given (most frequent first), each labelled with its count and the
// cumulative share of `total` (all entries, not only those shown). Each bar carries data-code and
// data-count and a tooltip with the whole label. No bars give a note instead of a chart.
std::string paretoChartHtml(const std::vector<ParetoBar>& bars, std::size_t total);

}  // namespace velmora::cli
