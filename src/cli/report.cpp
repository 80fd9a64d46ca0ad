#include "cli/report.hpp"

#include <algorithm>
#include <array>
#include <nlohmann/json.hpp>
#include <sstream>

namespace velmora::cli {
namespace {

// The record fields in the order of the JSON contract and of the text table.
constexpr std::array<const char*, 9> kFieldNames = {"ItemName",   "CollectType", "WaferID",
                                                    "WaferSEQ",   "EQPID",       "TA",
                                                    "WaferYield", "LotYield",    "Reasons"};

std::array<std::string, 9> fieldValues(const Abnormal& r) {
  return {r.ItemName(), r.CollectType(), r.WaferID(),  r.WaferSEQ(), r.EQPID(),
          r.TA(),       r.WaferYield(),  r.LotYield(), r.Reasons()};
}

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

Report collectReport(const Abnormals& check, const std::string& result) {
  Report report;
  report.lot = check.LotID();
  report.step = check.StepID();
  report.result = result;
  report.flags = {{{"IsEDCItem", check.IsEDCItem()},
                   {"IsEDCCollect", check.IsEDCCollect()},
                   {"IsEDCFail", check.IsEDCFail()},
                   {"IsAUGItem", check.IsAUGItem()},
                   {"IsAUGCollect", check.IsAUGCollect()},
                   {"IsAUGFail", check.IsAUGFail()}}};
  report.lotDevReasons = check.LotDevReasons();
  report.timeVersionSysid = check.TimeVersionSysid();
  const int count = check.Count();
  for (int i = 1; i <= count; ++i) report.records.push_back(*check.Item(Variant(i)));
  return report;
}

std::string toJson(const Report& report) {
  nlohmann::ordered_json flags = nlohmann::ordered_json::object();
  for (const auto& [name, value] : report.flags) flags[name] = value;
  nlohmann::ordered_json records = nlohmann::ordered_json::array();
  for (const Abnormal& record : report.records) {
    nlohmann::ordered_json r = nlohmann::ordered_json::object();
    const auto values = fieldValues(record);
    for (std::size_t i = 0; i < kFieldNames.size(); ++i) r[kFieldNames[i]] = values[i];
    records.push_back(std::move(r));
  }
  nlohmann::ordered_json out = nlohmann::ordered_json::object();
  out["lot"] = report.lot;
  out["step"] = report.step;
  out["result"] = report.result;
  out["flags"] = std::move(flags);
  out["LotDevReasons"] = report.lotDevReasons;
  out["TimeVersionSysid"] = report.timeVersionSysid;
  out["records"] = std::move(records);
  // Texts from the databases may hold bytes that are not UTF-8; they are replaced rather than
  // failing the output.
  return out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
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
  for (const char* name : kFieldNames) widths.push_back(width(name));
  for (const Abnormal& record : report.records) {
    std::vector<std::string> row;
    for (const std::string& value : fieldValues(record)) row.push_back(printable(value));
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
  const std::vector<std::string> header(kFieldNames.begin(), kFieldNames.end());
  line(header);
  for (const auto& row : cells) line(row);
  return out.str();
}

}  // namespace velmora::cli
