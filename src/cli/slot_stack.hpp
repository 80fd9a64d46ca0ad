// The stacked slot map of a batch: for each slot position, the share of lots whose wafer in that
// slot has a finding, by kind — the question of whether a position of the cassette or a chamber
// fails across lots, which no single lot's map answers.
#pragma once

#include <array>
#include <cstddef>
#include <map>
#include <string>

namespace velmora::cli {

// `slots`: slot position -> lots with a finding there, by kind (indexed by Finding); `lots`: the
// lots whose shares they are. One inline SVG: a disc per position from 1 to the highest (at least
// 25), filled on a colour scale by its share, with the count and a bar of the kinds under the
// number; each disc's element carries data-slot, data-lots, data-share and one data-<kind>
// count per kind, and a tooltip. Then the scale and the kinds' legend.
std::string slotStackHtml(const std::map<long, std::array<std::size_t, 6>>& slots,
                          std::size_t lots);

}  // namespace velmora::cli
