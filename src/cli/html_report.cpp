#include "cli/html_report.hpp"

#include <cstdio>

#include "cli/html_text.hpp"
#include "cli/pareto_chart.hpp"
#include "cli/reason_entries.hpp"
#include "cli/report.hpp"

namespace velmora::cli {
namespace {

// The wafer maps of a batch are drawn at this fraction of a single lot's.
constexpr double kBatchMapScale = 0.55;
// Reasons in the batch's Pareto chart.
constexpr std::size_t kParetoBars = 20;

constexpr const char* kStyle = R"(
body { font: 14px/1.45 system-ui, sans-serif; color: #1e293b; margin: 24px; max-width: 1400px; }
h1 { font-size: 22px; margin: 0 0 12px; }
h2 { font-size: 17px; margin: 28px 0 8px; border-bottom: 1px solid #cbd5e1; }
table { border-collapse: collapse; }
th, td { border: 1px solid #cbd5e1; padding: 3px 8px; text-align: left; vertical-align: top; }
th { background: #f1f5f9; }
table.facts th { width: 150px; }
.result-ok { color: #15803d; font-weight: bold; }
.result-failed { color: #b91c1c; font-weight: bold; }
.flag { display: inline-block; margin: 0 6px 2px 0; padding: 0 6px; border-radius: 4px;
        background: #e2e8f0; }
.flag-Y { background: #fde68a; }
ul.reasons, ul.legend, ul.unplaced { margin: 0; padding-left: 18px; }
ul.legend { list-style: none; padding: 0; margin: 8px 0; }
ul.legend li { margin: 2px 0; }
svg.swatch { vertical-align: -2px; }
.map-and-legend { display: flex; flex-wrap: wrap; gap: 8px 40px; align-items: flex-start; }
table.records { width: 100%; }
table.records td { overflow-wrap: break-word; }
td.num, td.short { white-space: nowrap; }
.note { color: #64748b; }
.incomplete { color: #b91c1c; font-weight: bold; border: 2px solid #b91c1c; padding: 8px 12px;
              margin: 0 0 12px; }
td.num { text-align: right; }
)";

std::string resultHtml(const std::string& result) {
  const std::string shown = "\"" + htmlText(result) + "\"";
  return "<span class=\"" + std::string(result == "ok" ? "result-ok" : "result-failed") + "\">" +
         shown + "</span>";
}

std::string reasonsListHtml(const std::string& list) {
  if (list.empty()) return "<span class=\"note\">none</span>";
  std::string html = "<ul class=\"reasons\">";
  for (const std::string& entry : reasonEntries(list)) html += "<li>" + htmlText(entry) + "</li>";
  return html + "</ul>";
}

void writePageStart(std::ostream& html, const std::string& title) {
  html << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
          "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
          "style-src 'unsafe-inline'\">\n"
          "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>"
       << htmlText(title) << "</title>\n<style>" << kStyle << "</style>\n</head>\n<body>\n";
}

void writePageEnd(std::ostream& html) {
  html << "</body>\n</html>\n";
}

void writeRecordsTable(std::ostream& html, const Report& report) {
  html << "<table class=\"records\">\n<tr><th>#</th><th>Finding</th><th>ItemName</th>"
          "<th>Collect<wbr>Type</th><th>Wafer<wbr>ID</th><th>Wafer<wbr>SEQ</th><th>EQPID</"
          "th><th>TA</th>"
          "<th>Wafer<wbr>Yield</th><th>Lot<wbr>Yield</th><th>Reasons</th></tr>\n";
  int position = 0;
  for (const Abnormal& record : report.records) {
    html << "<tr><td class=\"num\">" << ++position << "</td><td>"
         << findingSwatchHtml(slotFinding({&record})) << ' ' << findingDetail({&record})
         << "</td><td>" << htmlText(record.ItemName()) << "</td><td class=\"short\">"
         << htmlText(record.CollectType()) << "</td><td class=\"short\">"
         << htmlText(record.WaferID()) << "</td><td class=\"num\">" << htmlText(record.WaferSEQ())
         << "</td><td>" << htmlText(record.EQPID()) << "</td><td>" << htmlText(record.TA())
         << "</td><td class=\"num\">" << htmlText(record.WaferYield()) << "</td><td class=\"num\">"
         << htmlText(record.LotYield()) << "</td><td>" << reasonsListHtml(record.Reasons())
         << "</td></tr>\n";
  }
  html << "</table>\n";
}

}  // namespace

void writeCheckReport(std::ostream& html, const Report& report, const LotSlots& slots) {
  writePageStart(html, "velmora check: " + report.lot + " at " + report.step);
  html << "<h1>Lot " << htmlText(report.lot) << " at step " << htmlText(report.step) << "</h1>\n";
  const bool complete = report.result == "ok";
  if (!complete) {
    // Said first, so that nothing below (flags all "N", no records) reads as a clean lot.
    html << "<p class=\"incomplete\" data-incomplete=\"true\">The check did not complete: it "
            "returned "
         << resultHtml(report.result);
    if (report.error) html << " after a failure in " << htmlText(failureText(*report.error));
    html << ". Its flags and records are not this lot's findings.</p>\n";
  }
  html << "<table class=\"facts\">\n<tr><th>Result</th><td>" << resultHtml(report.result)
       << "</td></tr>\n<tr><th>Flags</th><td>";
  for (const auto& [name, value] : report.flags) {
    html << "<span class=\"flag flag-" << (value == "Y" ? "Y" : "N") << "\" data-flag=\"" << name
         << "\">" << name << "=" << htmlText(value) << "</span>";
  }
  html << "</td></tr>\n<tr><th>Time version</th><td>"
       << (report.timeVersionSysid.empty() ? "<span class=\"note\">none</span>"
                                           : htmlText(report.timeVersionSysid))
       << "</td></tr>\n<tr><th>Lot reasons</th><td>" << reasonsListHtml(report.lotDevReasons)
       << "</td></tr>\n</table>\n<h2>Wafer map</h2>\n";
  if (complete) {
    html << "<div class=\"map-and-legend\">\n<div>";
    writeWaferMap(html, slots, report.records, 1.0);
    html << "</div>\n" << waferLegendHtml() << "</div>\n";
  } else {
    html << "<p class=\"note\">None: the check did not complete, so no slot's findings are "
            "known.</p>\n";
  }
  html << "<h2>Records (" << report.records.size() << ")</h2>\n";
  if (report.records.empty()) {
    html << "<p class=\"note\">No records.</p>\n";
  } else {
    writeRecordsTable(html, report);
  }
  writePageEnd(html);
}

void writeBatchReport(std::ostream& html, const BatchSummary& summary,
                      const std::vector<ReportedLot>& lots) {
  writePageStart(html, "velmora batch");
  char elapsed[64];
  std::snprintf(elapsed, sizeof elapsed, "%.1f s", summary.elapsedMs / 1000);
  html << "<h1>velmora batch</h1>\n<table class=\"facts\">\n<tr><th>Lots</th><td>" << summary.done
       << " of " << summary.lots << " checked" << (summary.interrupted ? " (interrupted)" : "")
       << "</td></tr>\n<tr><th>Results</th><td>";
  for (const auto& [result, count] : summary.results) {
    html << resultHtml(result) << " " << count << "<br>";
  }
  html << "</td></tr>\n<tr><th>Lots with findings</th><td>" << summary.lotsWithFindings
       << "</td></tr>\n<tr><th>Time</th><td>" << elapsed << ", " << summary.jobs
       << (summary.jobs == 1 ? " job" : " jobs") << "</td></tr>\n</table>\n";

  const auto top = topReasons(summary, kParetoBars);
  const std::size_t total = reasonTotal(summary);
  html << "<h2>Reason codes</h2>\n<p class=\"note\">The " << top.size() << " most frequent of "
       << summary.reasons.size() << " reasons (item/reason) in " << total
       << " entries: a lot reason counts once per lot, a record's reason once per record; the "
          "share is cumulative.</p>\n"
       << paretoChartHtml(top, total);

  if (!summary.failed.empty()) {
    html << "<h2>Lots that did not return \"ok\" (" << summary.failed.size()
         << ")</h2>\n<table class=\"failed\">\n<tr><th>Input</th><th>Lot</th><th>Step</th>"
            "<th>Result</th><th>Reason</th></tr>\n";
    for (const FailedLot& lot : summary.failed) {
      html << "<tr><td>" << htmlText(lot.where) << "</td><td>" << htmlText(lot.lot) << "</td><td>"
           << htmlText(lot.step) << "</td><td>" << resultHtml(lot.result) << "</td><td>"
           << htmlText(lot.error) << "</td></tr>\n";
    }
    html << "</table>\n";
  }

  html << "<h2>Lots with findings (" << lots.size() << ")</h2>\n";
  if (lots.empty()) {
    html << "<p class=\"note\">None.</p>\n";
  } else {
    html << waferLegendHtml()
         << "<table class=\"lots\">\n<tr><th>Input</th><th>Lot</th><th>Step</th><th>Result</th>"
            "<th>Lot reasons</th><th>Records</th><th>Wafer map</th></tr>\n";
    for (const ReportedLot& lot : lots) {
      const Report& report = *lot.report;
      html << "<tr data-lot=\"" << htmlText(report.lot) << "\" data-step=\""
           << htmlText(report.step) << "\"><td>" << htmlText(lot.where) << "</td><td>"
           << htmlText(report.lot) << "</td><td>" << htmlText(report.step) << "</td><td>"
           << resultHtml(report.result) << "</td><td>" << reasonsListHtml(report.lotDevReasons)
           << "</td><td class=\"num\">" << report.records.size() << "</td><td>";
      writeWaferMap(html, lot.slots, report.records, kBatchMapScale);
      html << "</td></tr>\n";
    }
    html << "</table>\n";
  }
  writePageEnd(html);
}

}  // namespace velmora::cli
