#include "cli/batch_report.hpp"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <numeric>

#include "cli/batch_shard.hpp"
#include "cli/html_page.hpp"
#include "cli/html_text.hpp"
#include "cli/output_file.hpp"
#include "cli/pareto_chart.hpp"
#include "cli/reason_entries.hpp"
#include "cli/report.hpp"
#include "cli/slot_stack.hpp"
#include "cli/wafer_map.hpp"

namespace velmora::cli {
namespace {

// Bars of the Pareto chart; the other codes are counted in a line under it.
constexpr std::size_t kParetoBars = 20;
// Rows of the table of lots that did not return "ok" (the lots table lists them all, and each
// has its page with the failure).
constexpr std::size_t kFailedRows = 1000;

std::string flagOf(const Report& report, const char* name) {
  for (const auto& [flag, value] : report.flags) {
    if (std::string(flag) == name) return value;
  }
  return "";
}

// The slot position of a WaferSEQ: a whole number from 1, else 0 (no position).
long slotPosition(const std::string& seq) {
  if (seq.empty() || seq.size() > 6) return 0;
  char* end = nullptr;
  const long value = std::strtol(seq.c_str(), &end, 10);
  return *end == '\0' && value > 0 ? value : 0;
}

std::string fileSafe(const std::string& text, bool& changed) {
  std::string out = text;
  for (char& c : out) {
    const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '.' || c == '_' || c == '-';
    if (!keep) {
      c = '_';
      changed = true;
    }
  }
  if (out.empty() || out.front() == '.') {
    out.insert(0, "_");
    changed = true;
  }
  if (out.size() > 80) {
    out.resize(80);
    changed = true;
  }
  return out;
}

// The Pareto of reason codes: every item/reason entry of the summary counted under its code.
void writeCodes(std::ostream& html, const BatchSummary& summary, const BatchReport& batch) {
  std::map<std::string, std::vector<std::pair<std::string, std::size_t>>> entries;
  std::map<std::string, std::size_t> counts;
  for (const auto& [entry, count] : summary.reasons) {
    const std::string code = reasonCode(entry);
    counts[code] += count;
    entries[code].emplace_back(entry, count);
  }
  std::vector<std::pair<std::string, std::size_t>> order(counts.begin(), counts.end());
  std::stable_sort(order.begin(), order.end(),
                   [](const auto& a, const auto& b) { return a.second > b.second; });
  const std::size_t total = reasonTotal(summary);
  const auto describe = [&](const std::string& code) {
    const auto found = batch.descriptions.find(code);
    return found == batch.descriptions.end() ? std::string() : found->second;
  };
  std::vector<ParetoBar> bars;
  for (std::size_t i = 0; i < order.size() && i < kParetoBars; ++i) {
    const std::string description = describe(order[i].first);
    bars.push_back({order[i].first, order[i].first + (description.empty() ? "" : " " + description),
                    order[i].second});
  }
  html << "<h2>Reason codes</h2>\n<p class=\"note\">" << order.size() << " codes in " << total
       << " entries (a lot reason counts once per lot, a record's reason once per record); the "
          "share is cumulative.";
  if (order.size() > bars.size()) {
    html << " The chart shows the " << bars.size() << " most frequent.";
  }
  html << "</p>\n" << paretoChartHtml(bars, total);
  if (order.empty()) return;
  html << "<div class=\"drill\">\n";
  for (const auto& [code, count] : order) {
    auto& list = entries[code];
    std::stable_sort(list.begin(), list.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    const std::string description = describe(code);
    html << "<details data-code=\"" << htmlText(code) << "\"><summary><b>" << htmlText(code)
         << "</b> " << (description.empty() ? "" : htmlText(description) + " ") << "\xE2\x80\x94 "
         << count << " in " << list.size() << (list.size() == 1 ? " item" : " items")
         << "</summary><ul class=\"reasons\">";
    for (const auto& [entry, n] : list) html << "<li>" << htmlText(entry) << ": " << n << "</li>";
    html << "</ul></details>\n";
  }
  html << "</div>\n";
}

void writeFailed(std::ostream& html, const BatchSummary& summary) {
  if (summary.failed.empty()) return;
  html << "<h2>Lots that did not return \"ok\" (" << summary.failed.size()
       << ")</h2>\n<table class=\"failed\">\n<thead><tr><th>Lot</th><th>Step</th><th>Result</th>"
          "<th>Why</th></tr></thead>\n<tbody>\n";
  for (std::size_t i = 0; i < summary.failed.size() && i < kFailedRows; ++i) {
    const FailedLot& lot = summary.failed[i];
    html << "<tr><td>" << htmlText(lot.lot) << "</td><td>" << htmlText(lot.step) << "</td><td>"
         << resultHtml(lot.result, 0, 0) << "</td><td>" << htmlText(lot.error) << "</td></tr>\n";
  }
  html << "</tbody>\n</table>\n";
  if (summary.failed.size() > kFailedRows) {
    html << "<p class=\"note\">The first " << kFailedRows << " are shown; the lots table below "
         << "lists every lot.</p>\n";
  }
}

void writeLots(std::ostream& html, const BatchReport& batch) {
  std::vector<std::size_t> order(batch.rows.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const LotRow& x = batch.rows[a];
    const LotRow& y = batch.rows[b];
    return x.lot != y.lot ? x.lot < y.lot : x.step < y.step;
  });
  html << "<h2>Lots (" << batch.rows.size()
       << ")</h2>\n<p class=\"note\">Click a column's header to sort by it. A lot with findings or "
          "a "
          "failure links to its own page.</p>\n<table class=\"lots sortable\">\n<thead><tr>"
          "<th>Lot</th><th>Step</th><th>Result</th><th>IsEDCFail</th><th>IsAUGFail</th>"
          "<th>Records</th><th>Lot reasons</th><th>Top codes</th></tr></thead>\n<tbody>\n";
  std::string rows;
  rows.reserve(batch.rows.size() * 220);
  for (const std::size_t i : order) {
    const LotRow& row = batch.rows[i];
    const std::string lot = htmlText(row.lot);
    rows += "<tr data-lot=\"" + lot + "\"><td>";
    rows += row.page.empty() ? lot : "<a href=\"" + htmlText(row.page) + "\">" + lot + "</a>";
    rows += "</td><td>" + htmlText(row.step) + "</td><td>";
    rows += row.result == "ok" ? "ok"
                               : "<b class=\"result-failed\">\"" + htmlText(row.result) + "\"</b>";
    rows += "</td><td" + std::string(row.edcFail == "Y" ? " class=\"fail-Y\">" : ">") +
            htmlText(row.edcFail) + "</td><td" + (row.augFail == "Y" ? " class=\"fail-Y\">" : ">") +
            htmlText(row.augFail) + "</td><td class=\"num\">" + std::to_string(row.records) +
            "</td><td class=\"num\">" + std::to_string(row.lotReasons) + "</td><td>";
    for (std::size_t k = 0; k < row.topCodes.size(); ++k) {
      rows += (k == 0 ? "" : ", ") + htmlText(row.topCodes[k].first) + " " +
              std::to_string(row.topCodes[k].second);
    }
    rows += "</td></tr>\n";
  }
  html << rows << "</tbody>\n</table>\n";
}

}  // namespace

void addLot(BatchReport& batch, const Report& report,
            const std::map<std::string, std::string>& descriptions, std::string page) {
  LotRow row;
  row.lot = report.lot;
  row.step = report.step;
  row.result = report.result;
  row.edcFail = flagOf(report, "IsEDCFail");
  row.augFail = flagOf(report, "IsAUGFail");
  row.records = report.records.size();
  row.page = std::move(page);
  std::map<std::string, std::size_t> codes;
  row.lotReasons = reasonEntries(report.lotDevReasons).size();
  for (const std::string& entry : reportEntries(report)) ++codes[reasonCode(entry)];
  std::map<long, std::vector<const Abnormal*>> bySlot;
  for (const Abnormal& record : report.records) {
    if (const long slot = slotPosition(recordSlot(record)); slot > 0) {
      bySlot[slot].push_back(&record);
    }
  }
  row.topCodes.assign(codes.begin(), codes.end());
  std::stable_sort(row.topCodes.begin(), row.topCodes.end(),
                   [](const auto& a, const auto& b) { return a.second > b.second; });
  if (row.topCodes.size() > 3) row.topCodes.resize(3);
  batch.rows.push_back(std::move(row));

  if (report.result == "ok") {
    ++batch.completeLots;
    for (const auto& [slot, records] : bySlot) {
      const Finding finding = slotFinding(records);
      if (finding != Finding::kNone) ++batch.slots[slot][static_cast<std::size_t>(finding)];
    }
  }
  for (const auto& [code, description] : descriptions) {
    if (!description.empty()) batch.descriptions.emplace(code, description);
  }
}

std::string lotPageName(const std::string& lot, const std::string& step) {
  bool changed = false;
  std::string name = fileSafe(lot, changed) + "_" + fileSafe(step, changed);
  if (changed) {
    char hash[20];
    std::snprintf(hash, sizeof hash, "-%08llx",
                  static_cast<unsigned long long>(lotStepHash(lot, step) & 0xffffffffu));
    name += hash;
  }
  return name + ".html";
}

ReportPaths reportPaths(const std::string& option) {
  namespace fs = std::filesystem;
  std::error_code ignored;
  if (!option.empty() && (option.back() == '/' || fs::is_directory(option, ignored))) {
    const fs::path folder(option);
    return {(folder / "index.html").string(), (folder / "lots").string(), "lots/", "../index.html"};
  }
  const fs::path file(option);
  const std::string stem = file.stem().string();
  return {option, (file.parent_path() / (stem + "_lots")).string(), stem + "_lots/",
          "../" + file.filename().string()};
}

std::string writeLotPage(const ReportPaths& paths, const Report& report, const std::string& html) {
  const std::string name = lotPageName(report.lot, report.step);
  writeOutputFile(paths.lotsDir + "/" + name, html);
  return paths.lotsLink + name;
}

std::string prepareReportFolders(const ReportPaths& paths) {
  namespace fs = std::filesystem;
  for (const fs::path& folder : {fs::path(paths.page).parent_path(), fs::path(paths.lotsDir)}) {
    if (folder.empty()) continue;
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) return "cannot make the folder " + folder.string() + ": " + error.message();
    if (access(folder.c_str(), W_OK | X_OK) != 0) {
      return "cannot write in the folder " + folder.string() + ": " + std::strerror(errno);
    }
  }
  return "";
}

void writeBatchReport(std::ostream& html, const BatchSummary& summary, const BatchReport& batch,
                      const Provenance& provenance) {
  writePageStart(html, "velmora batch", kSortScript);
  html << "<h1>velmora batch</h1>\n<table class=\"facts\">\n<tr><th>Lots</th><td>" << summary.done
       << " of " << summary.lots << " checked" << (summary.interrupted ? " (interrupted)" : "")
       << "</td></tr>\n<tr><th>Results</th><td>";
  for (const auto& [result, count] : summary.results) {
    html << (result == "ok" ? "<span class=\"result-ok\">ok</span>" : resultHtml(result, 0, 0))
         << " " << count << "<br>";
  }
  html << "</td></tr>\n<tr><th>Lots with findings</th><td>" << summary.lotsWithFindings
       << "</td></tr>\n</table>\n";
  writeCodes(html, summary, batch);
  html << "<h2>Slots</h2>\n<p class=\"note\">For each slot position, how many of the "
       << batch.completeLots
       << " lots that returned \"ok\" have a finding on their wafer in that slot, by kind.</p>\n"
       << slotStackHtml(batch.slots, batch.completeLots);
  writeFailed(html, summary);
  writeLots(html, batch);
  writePageEnd(html, provenance, kSortScript);
}

}  // namespace velmora::cli
