#include "cli/slot_stack.hpp"

#include <algorithm>
#include <cstdio>

#include "cli/wafer_map.hpp"

namespace velmora::cli {
namespace {

constexpr Finding kKinds[] = {Finding::kYield, Finding::kDefect, Finding::kSpc, Finding::kComment,
                              Finding::kSeveral};

// The fill of a share on the scale from white (no lot) to deep red (the highest share of the
// map): linear in each channel.
std::string scaleColour(double fraction) {
  const int from[3] = {0xf8, 0xfa, 0xfc};
  const int to[3] = {0xb9, 0x1c, 0x1c};
  char colour[8];
  int c[3];
  for (int i = 0; i < 3; ++i) {
    c[i] = static_cast<int>(from[i] + (to[i] - from[i]) * std::clamp(fraction, 0.0, 1.0) + 0.5);
  }
  std::snprintf(colour, sizeof colour, "#%02x%02x%02x", c[0], c[1], c[2]);
  return colour;
}

std::string percent(double share) {
  char text[16];
  std::snprintf(text, sizeof text, "%.1f %%", 100 * share);
  return text;
}

// The lots with a finding of any kind in a slot.
std::size_t lotsWithAny(const std::array<std::size_t, 6>& kinds) {
  std::size_t any = 0;
  for (Finding kind : kKinds) any += kinds[static_cast<std::size_t>(kind)];
  return any;
}

}  // namespace

std::string slotStackHtml(const std::map<long, std::array<std::size_t, 6>>& slots,
                          std::size_t lots) {
  if (lots == 0)
    return "<p class=\"note\">No lot returned \"ok\": no slot's findings are known.</p>\n";
  const long positions = std::max(25L, slots.empty() ? 0L : slots.rbegin()->first);
  std::size_t most = 0;
  for (const auto& [slot, kinds] : slots) most = std::max(most, lotsWithAny(kinds));
  constexpr int kCell = 110;
  constexpr int kRow = 118;
  constexpr int kRadius = 44;
  const long columns = positions <= 25 ? 5 : 10;
  const long rows = (positions + columns - 1) / columns;
  std::string svg;
  svg.reserve(static_cast<std::size_t>(positions) * 700);
  svg += "<svg class=\"slot-stack\" xmlns=\"http://www.w3.org/2000/svg\" role=\"img\" width=\"" +
         std::to_string(columns * kCell) + "\" height=\"" + std::to_string(rows * kRow) +
         "\"><style>.slot-stack text{text-anchor:middle;font-family:sans-serif}"
         ".slot-stack .n{font-weight:bold;font-size:16px}.slot-stack .c{font-size:12px}"
         ".slot-stack circle{stroke:#475569;stroke-width:1.5}</style>\n";
  for (long slot = 1; slot <= positions; ++slot) {
    const auto found = slots.find(slot);
    std::array<std::size_t, 6> kinds{};
    if (found != slots.end()) kinds = found->second;
    const std::size_t any = lotsWithAny(kinds);
    const double share = static_cast<double>(any) / static_cast<double>(lots);
    const long x = ((slot - 1) % columns) * kCell + kCell / 2;
    const long y = ((slot - 1) / columns) * kRow + kRow / 2 - 2;
    const bool dark = most > 0 && static_cast<double>(any) / static_cast<double>(most) > 0.55;
    std::string tip = "Slot " + std::to_string(slot) + ": " + std::to_string(any) + " of " +
                      std::to_string(lots) + " lots (" + percent(share) + ")";
    std::string data;
    for (Finding kind : kKinds) {
      const std::size_t count = kinds[static_cast<std::size_t>(kind)];
      data += std::string(" data-") + findingName(kind) + "=\"" + std::to_string(count) + "\"";
      if (count > 0) tip += std::string("\n") + findingName(kind) + ": " + std::to_string(count);
    }
    svg += "<g data-slot=\"" + std::to_string(slot) + "\" data-lots=\"" + std::to_string(any) +
           "\" data-share=\"" + std::to_string(share) + "\"" + data + "><title>" + tip +
           "</title><circle cx=\"" + std::to_string(x) + "\" cy=\"" + std::to_string(y) +
           "\" r=\"" + std::to_string(kRadius) + "\" fill=\"" +
           scaleColour(most == 0 ? 0 : static_cast<double>(any) / static_cast<double>(most)) +
           "\"/><text class=\"n\" x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y - 14) +
           "\" fill=\"" + (dark ? "#ffffff" : "#0f172a") + "\">" + std::to_string(slot) +
           "</text><text class=\"c\" x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y + 4) +
           "\" fill=\"" + (dark ? "#ffffff" : "#334155") + "\">" + std::to_string(any) +
           " \xC2\xB7 " + percent(share) + "</text>";
    // The kinds as a stacked bar across the disc's lower half.
    if (any > 0) {
      constexpr int kBar = 60;
      double left = static_cast<double>(x - kBar / 2);
      for (Finding kind : kKinds) {
        const std::size_t count = kinds[static_cast<std::size_t>(kind)];
        if (count == 0) continue;
        const double width = kBar * static_cast<double>(count) / static_cast<double>(any);
        char rect[160];
        std::snprintf(rect, sizeof rect,
                      "<rect x=\"%.1f\" y=\"%ld\" width=\"%.1f\" height=\"10\" fill=\"%s\"/>", left,
                      y + 14, width, findingColour(kind));
        svg += rect;
        left += width;
      }
    }
    svg += "</g>\n";
  }
  svg += "</svg>\n";

  // The scale and what the bar's colours mean.
  std::string legend =
      "<div class=\"slot-scale\"><svg width=\"220\" height=\"34\" role=\"img\">"
      "<defs><linearGradient id=\"slot-scale\"><stop offset=\"0\" stop-color=\"" +
      scaleColour(0) + "\"/><stop offset=\"1\" stop-color=\"" + scaleColour(1) +
      "\"/></linearGradient></defs><rect x=\"0.5\" y=\"0.5\" width=\"200\" height=\"14\" "
      "fill=\"url(#slot-scale)\" stroke=\"#475569\"/><text x=\"0\" y=\"30\" font-size=\"12\">0"
      "</text><text x=\"200\" y=\"30\" font-size=\"12\" text-anchor=\"end\">" +
      std::to_string(most) + " lots (" +
      percent(static_cast<double>(most) / static_cast<double>(lots)) +
      ")</text></svg><ul class=\"legend\">";
  for (Finding kind : kKinds) {
    legend += "<li>" + findingSwatchHtml(kind) + " <b>" + findingName(kind) +
              "</b>: " + findingMeaning(kind) + "</li>";
  }
  return "<div class=\"map-and-legend\"><div>" + svg + "</div>" + legend + "</ul></div></div>\n";
}

}  // namespace velmora::cli
