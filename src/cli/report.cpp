#include "cli/report.hpp"

#include <algorithm>
#include <sstream>
#include <vector>

namespace velmora::cli {
namespace {

std::string hex(unsigned value, int digits) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
  return out;
}

// Display width of a UTF-8 text in code points (close enough for item names and codes).
std::size_t width(const std::string& text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

}  // namespace

std::string failureText(const RunFailure& failure) {
  std::string text =
      failure.procedure + ": " + std::to_string(failure.number) + ":" + failure.description;
  if (!failure.statement.empty()) text += " (statement: " + failure.statement + ")";
  return text;
}

std::string printable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || c == 0x7F) {
      out += "\\x" + hex(c, 2);
    } else if (c == 0xC2 && i + 1 < text.size() &&
               static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
      // U+0080 to U+009F, the C1 controls (U+009B starts a terminal command like ESC "[").
      out += "\\u00" + hex(static_cast<unsigned char>(text[++i]), 2);
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string toText(const Report& report) {
  std::ostringstream out;
  out << "Lot " << printable(report.lot) << ", step " << printable(report.step) << ": result \""
      << printable(report.result) << "\"\n";
  if (report.error) {
    // First, so that the flags below (all "N" after an early end) never read as a clean lot.
    out << "The check did not complete, after a failure in "
        << printable(failureText(*report.error))
        << "\nIts flags and records are not this lot's findings.\n";
  }
  out << "Flags:";
  for (const auto& [name, value] : report.flags) out << ' ' << name << '=' << printable(value);
  out << "\nTime version: "
      << (report.timeVersionSysid.empty() ? "(none)" : printable(report.timeVersionSysid))
      << "\nLot reasons: "
      << (report.lotDevReasons.empty() ? "(none)" : printable(report.lotDevReasons)) << "\n";
  // A mistyped lot or step finds nothing and is still "ok": say so.
  if (report.result == "ok" && report.flags[0].second == "N") {
    out << "No EDC items for this lot at this step.\n";
  }
  if (report.records.empty()) {
    out << "Records: none\n";
    return out.str();
  }
  out << "Records: " << report.records.size() << "\n";

  std::vector<std::vector<std::string>> cells;
  std::vector<std::size_t> widths;
  for (const char* name : kRecordFieldNames) widths.push_back(width(name));
  for (const Abnormal& record : report.records) {
    std::vector<std::string> row;
    for (const std::string& value : recordFieldValues(record)) row.push_back(printable(value));
    for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], width(row[i]));
    cells.push_back(std::move(row));
  }
  auto line = [&](const std::vector<std::string>& row) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      out << row[i];
      if (i + 1 < row.size()) out << std::string(widths[i] - width(row[i]) + 2, ' ');
    }
    out << "\n";
  };
  const std::vector<std::string> header(kRecordFieldNames.begin(), kRecordFieldNames.end());
  line(header);
  for (const auto& row : cells) line(row);
  return out.str();
}

}  // namespace velmora::cli
