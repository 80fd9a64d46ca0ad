#include "cli/wafer_map.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <sstream>
#include <string_view>

#include "cli/blanks.hpp"
#include "cli/html_text.hpp"
#include "cli/reason_entries.hpp"
#include "cli/statements.hpp"
#include "velmora/error.hpp"
#include "velmora/recordset.hpp"

namespace velmora::cli {
namespace {

struct FindingStyle {
  Finding finding;
  const char* name;
  const char* fill;
  const char* ink;  // the slot number's colour on that fill
  const char* meaning;
};

// The map's colours: clean slots neutral, each kind of finding a colour of its own.
constexpr std::array<FindingStyle, 6> kStyles = {{
    {Finding::kNone, "none", "#e2e8f0", "#334155", "no finding"},
    {Finding::kYield, "yield", "#f59e0b", "#1f2937", "wafer yield below its limit"},
    {Finding::kDefect, "defect", "#dc2626", "#ffffff",
     "bump-defect or single-reason defect rate above its limit"},
    {Finding::kSpc, "spc", "#2563eb", "#ffffff",
     "SPC: chart rule violation, or data flagged out of control or spec"},
    {Finding::kComment, "comment", "#059669", "#ffffff", "wafer listed in an operator's comment"},
    {Finding::kSeveral, "several", "#7c3aed", "#ffffff", "more than one of these kinds"},
}};

const FindingStyle& styleOf(Finding finding) {
  return kStyles[static_cast<std::size_t>(finding)];
}

// An entry "item/code" as its item and code (the code follows the last "/").
std::pair<std::string, std::string> splitEntry(const std::string& entry) {
  const std::size_t slash = entry.rfind('/');
  if (slash == std::string::npos) return {"", entry};
  return {entry.substr(0, slash), entry.substr(slash + 1)};
}

// Bits of the finding kinds in one record.
unsigned kindBit(Finding f) {
  return 1u << static_cast<unsigned>(f);
}

unsigned recordKinds(const Abnormal& record) {
  std::vector<std::pair<std::string, std::string>> entries;
  for (const std::string& entry : reasonEntries(record.Reasons())) {
    if (!entry.empty()) entries.push_back(splitEntry(entry));
  }
  unsigned kinds = 0;
  const bool chartAndComment = record.CollectType() == "1";
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string& item = entries[i].first;
    const std::string& code = entries[i].second;
    Finding kind;
    if (chartAndComment) {
      if (code != "OFC") {
        kind = Finding::kSpc;
      } else {
        const bool followed =
            std::any_of(entries.begin() + static_cast<std::ptrdiff_t>(i) + 1, entries.end(),
                        [&](const auto& later) { return later.first == item; });
        kind = followed ? Finding::kSpc : Finding::kComment;
      }
    } else if (code == "BYW" || code == "SDW") {
      kind = Finding::kDefect;
    } else if (code == "OFC" || code == "OFCS" || code == "OFS") {
      kind = Finding::kSpc;
    } else {
      kind = Finding::kYield;
    }
    kinds |= kindBit(kind);
  }
  return kinds;
}

void append(std::string& out, std::initializer_list<std::string_view> parts) {
  for (std::string_view part : parts) out.append(part);
}

std::string number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

// The kinds of findings in these records, as bits.
unsigned kindsOf(const std::vector<const Abnormal*>& records) {
  unsigned kinds = 0;
  for (const Abnormal* record : records) kinds |= recordKinds(*record);
  return kinds;
}

Finding findingOf(unsigned kinds) {
  if (kinds == 0) return Finding::kNone;
  for (const FindingStyle& style : kStyles) {
    if (kinds == kindBit(style.finding)) return style.finding;
  }
  return Finding::kSeveral;
}

std::string detailOf(unsigned kinds) {
  const Finding finding = findingOf(kinds);
  if (finding != Finding::kSeveral) return findingName(finding);
  std::string names;
  for (const FindingStyle& style : kStyles) {
    if ((kinds & kindBit(style.finding)) == 0) continue;
    names += (names.empty() ? "" : ", ") + std::string(style.name);
  }
  return "several (" + names + ")";
}

// The tooltip of a slot: its id and finding, then each record's reasons and yields.
std::string tooltip(const WaferSlot& slot, unsigned kinds,
                    const std::vector<const Abnormal*>& records) {
  std::string text = "Slot " + slot.seq;
  if (!slot.waferId.empty()) text += " (" + slot.waferId + ")";
  text += ": " + detailOf(kinds);
  for (const Abnormal* record : records) {
    text += "\n" + record->Reasons();
    if (!record->WaferYield().empty() || !record->LotYield().empty()) {
      text += " (wafer yield " + (record->WaferYield().empty() ? "-" : record->WaferYield()) +
              " %, lot yield " + (record->LotYield().empty() ? "-" : record->LotYield()) + " %)";
    }
  }
  return text;
}

}  // namespace

const char* findingName(Finding finding) {
  return styleOf(finding).name;
}

Finding slotFinding(const std::vector<const Abnormal*>& records) {
  return findingOf(kindsOf(records));
}

std::string findingDetail(const std::vector<const Abnormal*>& records) {
  return detailOf(kindsOf(records));
}

LotSlots readLotSlots(MesDatabase& mes, const std::string& lot) {
  LotSlots out;
  try {
    const auto rows = mes.ExecuteQuery(lotWafersStatement(lot));
    for (; !rows->Eof(); rows->MoveNext()) {
      out.slots.push_back({rows->Fields("SEQ").toText(), rows->Fields("WAFERID").toText()});
    }
  } catch (const AutomationError& e) {
    out.slots.clear();
    out.error = "the lot's wafers could not be read from " + std::string(kLotWafersTable) + ": " +
                e.description();
  }
  return out;
}

void writeWaferMap(std::ostream& html, const LotSlots& lot, const std::vector<Abnormal>& records,
                   double scale) {
  if (!lot.error.empty()) {
    html << "<p class=\"note\">No wafer map: " << htmlText(lot.error) << "</p>\n";
  } else if (lot.slots.empty()) {
    html << "<p class=\"note\">No wafer map: " << kLotWafersTable
         << " lists no wafer of this lot.</p>\n";
  }

  // Records by the slot they name; those naming none are listed under the map.
  std::map<std::string, std::vector<const Abnormal*>> bySlot;
  for (const WaferSlot& slot : lot.slots) bySlot[slot.seq];
  std::vector<const Abnormal*> unplaced;
  for (const Abnormal& record : records) {
    const auto found = bySlot.find(recordSlot(record));
    if (found == bySlot.end()) {
      unplaced.push_back(&record);
    } else {
      found->second.push_back(&record);
    }
  }

  if (!lot.slots.empty()) {
    constexpr int kCell = 64;
    constexpr int kRadius = 26;  // as in the path's arc ("A26 26")
    const int columns = static_cast<int>(lot.slots.size() <= 25 ? 5 : 10);
    const int rows = static_cast<int>((lot.slots.size() + columns - 1) / columns);
    const int width = columns * kCell;
    const int height = rows * (kCell + 12);
    html << "<svg class=\"wafer-map\" xmlns=\"http://www.w3.org/2000/svg\" role=\"img\" "
         << "viewBox=\"0 0 " << width << ' ' << height << "\" width=\"" << number(width * scale)
         << "\" height=\"" << number(height * scale) << "\">\n"
         << "<style>.wafer-map path{stroke:#475569;stroke-width:1.5}"
            ".wafer-map text{text-anchor:middle}.wafer-map .n{font:bold 17px sans-serif}"
            ".wafer-map .i{font:10px sans-serif;fill:#475569}</style>\n";
    // The slots are put together as one text: a batch report holds thousands of them.
    std::string svg;
    svg.reserve(lot.slots.size() * 200);
    for (std::size_t i = 0; i < lot.slots.size(); ++i) {
      const WaferSlot& slot = lot.slots[i];
      const auto& slotRecords = bySlot[slot.seq];
      const unsigned kinds = kindsOf(slotRecords);
      const FindingStyle& style = styleOf(findingOf(kinds));
      const int x = static_cast<int>(i % columns) * kCell + kCell / 2;
      const int y = static_cast<int>(i / columns) * (kCell + 12) + kCell / 2;
      const std::string seq = htmlText(slot.seq);
      const std::string centre = std::to_string(x);
      const std::string flat = std::to_string(y + kRadius - 2);
      // The wafer is a disc with its flat at the bottom.
      append(svg, {"<g data-wafer-seq=\"",
                   seq,
                   "\" data-finding=\"",
                   style.name,
                   "\"><title>",
                   htmlText(tooltip(slot, kinds, slotRecords)),
                   "</title><path d=\"M",
                   std::to_string(x - 10),
                   " ",
                   flat,
                   "A26 26 0 1 1 ",
                   std::to_string(x + 10),
                   " ",
                   flat,
                   "Z\" fill=\"",
                   style.fill,
                   "\"/><text class=\"n\" x=\"",
                   centre,
                   "\" y=\"",
                   std::to_string(y + 6),
                   "\" fill=\"",
                   style.ink,
                   "\">",
                   seq,
                   "</text><text class=\"i\" x=\"",
                   centre,
                   "\" y=\"",
                   std::to_string(y + kRadius + 12),
                   "\">",
                   htmlText(slot.waferId),
                   "</text></g>\n"});
    }
    html << svg;
    html << "</svg>\n";
  }

  if (!unplaced.empty()) {
    html << "<p class=\"note\">Findings on no slot of the lot:</p>\n<ul class=\"unplaced\">\n";
    for (const Abnormal* record : unplaced) {
      html << "<li>WaferSEQ \"" << htmlText(record->WaferSEQ())
           << "\": " << htmlText(record->Reasons()) << "</li>\n";
    }
    html << "</ul>\n";
  }
}

const char* findingColour(Finding finding) {
  return styleOf(finding).fill;
}

const char* findingMeaning(Finding finding) {
  return styleOf(finding).meaning;
}

std::string recordSlot(const Abnormal& record) {
  return trimBlanks(record.WaferSEQ());
}

std::string findingSwatchHtml(Finding finding) {
  return std::string("<svg class=\"swatch\" width=\"14\" height=\"14\" aria-hidden=\"true\">") +
         "<rect x=\"0.5\" y=\"0.5\" width=\"13\" height=\"13\" rx=\"3\" fill=\"" +
         styleOf(finding).fill + "\" stroke=\"#475569\"/></svg>";
}

std::string waferLegendHtml() {
  std::ostringstream html;
  html << "<ul class=\"legend\">\n";
  for (const FindingStyle& style : kStyles) {
    html << "<li data-legend=\"" << style.name << "\">" << findingSwatchHtml(style.finding)
         << " <b>" << style.name << "</b>: " << style.meaning << "</li>\n";
  }
  html << "</ul>\n";
  return html.str();
}

}  // namespace velmora::cli
