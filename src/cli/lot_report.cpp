#include "cli/lot_report.hpp"

#include <map>
#include <sstream>

#include "cli/html_page.hpp"
#include "cli/html_text.hpp"
#include "cli/reason_entries.hpp"
#include "cli/report.hpp"

namespace velmora::cli {
namespace {

// The lot's map is drawn larger than a batch's, so that wafer ids read at the default zoom.
constexpr double kLotMapScale = 1.5;

// The judgements of a reason list: the context's when it has them for every entry, else the
// entries with their codes only (the context could not be read).
std::vector<Judgement> judgementsOf(const std::string& list, const std::vector<Judgement>* known) {
  const std::vector<std::string> entries = reasonEntries(list);
  if (known != nullptr && known->size() == entries.size()) return *known;
  std::vector<Judgement> out;
  for (const std::string& entry : entries) {
    Judgement judgement;
    judgement.entry = entry;
    judgement.code = reasonCode(entry);
    out.push_back(std::move(judgement));
  }
  return out;
}

// One reason: the entry with its code explained in a tooltip, then what it was judged against.
std::string judgementHtml(const Judgement& j) {
  std::string html = "<li data-code=\"" + htmlText(j.code) + "\">";
  const std::string item =
      j.entry.substr(0, j.entry.size() - std::min(j.entry.size(), j.code.size()));
  html += htmlText(item);
  if (j.description.empty()) {
    html += "<b>" + htmlText(j.code) + "</b>";
  } else {
    html +=
        "<abbr title=\"" + htmlText(j.description) + "\"><b>" + htmlText(j.code) + "</b></abbr>";
  }
  std::string judged;
  if (!j.actual.empty()) judged += htmlText(j.actual);
  if (!j.limit.empty())
    judged += (judged.empty() ? "limit " : " against limit ") + htmlText(j.limit);
  if (!j.comparison.empty()) judged += (judged.empty() ? "" : ": ") + htmlText(j.comparison);
  if (!judged.empty()) html += " <span class=\"judged\">" + judged + "</span>";
  return html + "</li>";
}

std::string judgementsHtml(const std::vector<Judgement>& judgements) {
  if (judgements.empty()) return "<span class=\"note\">none</span>";
  std::string html = "<ul class=\"reasons\">";
  for (const Judgement& j : judgements) html += judgementHtml(j);
  return html + "</ul>";
}

void writeRecordsTable(std::ostream& html, const Report& report,
                       const std::vector<std::vector<Judgement>>& judgements) {
  html << "<table class=\"records\">\n<thead><tr><th>#</th><th>Finding</th><th>ItemName</th>"
          "<th>Collect<wbr>Type</th><th>Wafer<wbr>ID</th><th>Wafer<wbr>SEQ</th><th>EQPID</th>"
          "<th>TA</th><th>Wafer<wbr>Yield</th><th>Lot<wbr>Yield</th><th>Reasons: what each was "
          "judged against</th></tr></thead>\n<tbody>\n";
  for (std::size_t i = 0; i < report.records.size(); ++i) {
    const Abnormal& record = report.records[i];
    html << "<tr><td class=\"num\">" << i + 1 << "</td><td>"
         << findingSwatchHtml(slotFinding({&record})) << ' ' << findingDetail({&record})
         << "</td><td>" << htmlText(record.ItemName()) << "</td><td class=\"short\">"
         << htmlText(record.CollectType()) << "</td><td class=\"short\">"
         << htmlText(record.WaferID()) << "</td><td class=\"num\">" << htmlText(record.WaferSEQ())
         << "</td><td>" << htmlText(record.EQPID()) << "</td><td>" << htmlText(record.TA())
         << "</td><td class=\"num\">" << htmlText(record.WaferYield()) << "</td><td class=\"num\">"
         << htmlText(record.LotYield()) << "</td><td>" << judgementsHtml(judgements[i])
         << "</td></tr>\n";
  }
  html << "</tbody>\n</table>\n";
}

// The codes that occur, with their descriptions and how often they occur in this lot.
void writeCodeLegend(std::ostream& html, const std::vector<Judgement>& lot,
                     const std::vector<std::vector<Judgement>>& records,
                     const FindingContext& context) {
  std::map<std::string, std::size_t> counts;
  for (const Judgement& j : lot) ++counts[j.code];
  for (const auto& list : records) {
    for (const Judgement& j : list) ++counts[j.code];
  }
  if (counts.empty()) return;
  html << "<h2>Reason codes</h2>\n<table class=\"codes\">\n<thead><tr><th>Code</th><th>What it "
          "means</th><th>Occurrences</th></tr></thead>\n<tbody>\n";
  for (const auto& [code, count] : counts) {
    const auto description = context.descriptions.find(code);
    html << "<tr data-code=\"" << htmlText(code) << "\"><td>" << htmlText(code) << "</td><td>"
         << (description == context.descriptions.end() || description->second.empty()
                 ? "<span class=\"note\">no description in the MES</span>"
                 : htmlText(description->second))
         << "</td><td class=\"num\">" << count << "</td></tr>\n";
  }
  html << "</tbody>\n</table>\n";
}

}  // namespace

void writeLotReport(std::ostream& html, const Report& report, const LotPageFacts& facts) {
  writePageStart(html, "velmora: " + report.lot + " at " + report.step);
  if (!facts.batchPage.empty()) {
    html << "<p><a href=\"" << htmlText(facts.batchPage)
         << "\">\xE2\x86\x90 batch report</a></p>\n";
  }
  html << "<h1>Lot " << htmlText(report.lot) << " at step " << htmlText(report.step) << "</h1>\n";
  const bool complete = report.result == "ok";
  if (!complete) {
    // Said first, so that nothing below (flags all "N", no records) reads as a clean lot.
    html << "<p class=\"incomplete\" data-incomplete=\"true\">The check did not complete: it "
            "returned "
         << resultHtml(report.result, 0, 0);
    if (report.error) html << " after a failure in " << htmlText(failureText(*report.error));
    html << ". Its flags and records are not this lot's findings.</p>\n";
  }
  const FindingContext& context = facts.context;
  const std::vector<Judgement> lotJudgements = judgementsOf(report.lotDevReasons, &context.lot);
  std::vector<std::vector<Judgement>> recordJudgements;
  for (std::size_t i = 0; i < report.records.size(); ++i) {
    recordJudgements.push_back(judgementsOf(
        report.records[i].Reasons(), i < context.records.size() ? &context.records[i] : nullptr));
  }

  html << "<table class=\"facts\">\n<tr><th>Result</th><td data-result>"
       << resultHtml(report.result, report.records.size(), lotJudgements.size())
       << "</td></tr>\n<tr><th>Flags</th><td>";
  for (const auto& [name, value] : report.flags) html << flagHtml(name, value);
  html << "</td></tr>\n<tr><th>Time version</th><td>"
       << (report.timeVersionSysid.empty() ? "<span class=\"note\">none</span>"
                                           : htmlText(report.timeVersionSysid))
       << "</td></tr>\n<tr><th>Lot reasons</th><td>" << judgementsHtml(lotJudgements)
       << "</td></tr>\n</table>\n";
  if (!context.error.empty()) {
    html << "<p class=\"note\">Limits and code descriptions are incomplete: "
         << htmlText(context.error) << "</p>\n";
  }
  html << "<h2>Wafer map</h2>\n";
  if (complete) {
    html << "<div class=\"map-and-legend\">\n<div>";
    writeWaferMap(html, facts.slots, report.records, kLotMapScale);
    html << "</div>\n" << waferLegendHtml() << "</div>\n";
  } else {
    html << "<p class=\"note\">None: the check did not complete, so no slot's findings are "
            "known.</p>\n";
  }
  html << "<h2>Records (" << report.records.size() << ")</h2>\n";
  if (report.records.empty()) {
    html << "<p class=\"note\">No records.</p>\n";
  } else {
    writeRecordsTable(html, report, recordJudgements);
  }
  writeCodeLegend(html, lotJudgements, recordJudgements, context);
  writePageEnd(html, facts.provenance);
}

bool needsLotPage(const Report& report) {
  return report.result != "ok" || hasFindings(report);
}

LotPage makeLotPage(MesDatabase& mes, const Report& report, const Provenance& provenance,
                    const std::string& batchPage) {
  LotPageFacts facts;
  if (report.result == "ok") {
    facts.slots = readLotSlots(mes, report.lot);
    facts.context = readFindingContext(mes, report);
  }
  facts.provenance = provenance;
  facts.batchPage = batchPage;
  std::ostringstream html;
  writeLotReport(html, report, facts);
  return {html.str(), std::move(facts.context.descriptions)};
}

}  // namespace velmora::cli
