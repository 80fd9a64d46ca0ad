// A Pareto chart of reason codes as inline SVG.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace velmora::cli {

// Horizontal bars, most frequent reason first, each labelled with its count and the cumulative
// share of `total` (all reason entries, not only those shown). Each bar carries data-reason and
// data-count and a tooltip. Empty `counts` give a note instead of a chart.
std::string paretoChartHtml(const std::vector<std::pair<std::string, std::size_t>>& counts,
                            std::size_t total);

}  // namespace velmora::cli
