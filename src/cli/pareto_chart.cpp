#include "cli/pareto_chart.hpp"

#include <cstdio>
#include <sstream>

#include "cli/html_text.hpp"

namespace velmora::cli {
namespace {

// Labels longer than this are cut (the tooltip keeps the whole reason).
constexpr std::size_t kLabelChars = 40;

// The first `limit` characters (code points) of a UTF-8 text, with "…" when cut.
std::string shortLabel(const std::string& text) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (++chars > kLabelChars) return text.substr(0, i) + "\xE2\x80\xA6";
  }
  return text;
}

}  // namespace

std::string paretoChartHtml(const std::vector<ParetoBar>& counts, std::size_t total) {
  if (counts.empty() || total == 0) return "<p class=\"note\">No reason codes.</p>\n";
  constexpr int kLabelWidth = 360;
  constexpr int kBarWidth = 420;
  constexpr int kRow = 24;
  constexpr int kTextWidth = 130;
  const std::size_t most = counts.front().count;
  const int height = static_cast<int>(counts.size()) * kRow + 8;
  std::ostringstream svg;
  svg << "<svg class=\"pareto\" xmlns=\"http://www.w3.org/2000/svg\" role=\"img\" width=\""
      << kLabelWidth + kBarWidth + kTextWidth << "\" height=\"" << height << "\">\n";
  std::size_t cumulative = 0;
  for (std::size_t i = 0; i < counts.size(); ++i) {
    const auto& [code, reason, count] = counts[i];
    cumulative += count;
    const int y = static_cast<int>(i) * kRow + 4;
    const int width =
        static_cast<int>(static_cast<double>(count) / static_cast<double>(most) * kBarWidth);
    const double percent = 100.0 * static_cast<double>(cumulative) / static_cast<double>(total);
    char share[48];
    std::snprintf(share, sizeof share, "%zu (cum. %.0f %%)", count, percent);
    char tip[64];
    std::snprintf(tip, sizeof tip, ": %zu, %.0f %% of all entries with those above", count,
                  percent);
    svg << "<g class=\"bar\" data-code=\"" << htmlText(code) << "\" data-count=\"" << count
        << "\"><title>" << htmlText(reason) << tip << "</title><text x=\"" << kLabelWidth - 8
        << "\" y=\"" << y + 16 << "\" text-anchor=\"end\" font-size=\"13\">"
        << htmlText(shortLabel(reason)) << "</text><rect x=\"" << kLabelWidth << "\" y=\"" << y + 2
        << "\" width=\"" << (width < 1 ? 1 : width) << "\" height=\"" << kRow - 6
        << "\" fill=\"#2563eb\"/><text x=\"" << kLabelWidth + width + 6 << "\" y=\"" << y + 16
        << "\" font-size=\"12\" fill=\"#334155\">" << share << "</text></g>\n";
  }
  svg << "</svg>\n";
  return svg.str();
}

}  // namespace velmora::cli
