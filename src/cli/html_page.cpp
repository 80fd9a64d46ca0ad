#include "cli/html_page.hpp"

#include "cli/html_text.hpp"

namespace velmora::cli {
namespace {

constexpr const char* kStyle = R"(
body { font: 14px/1.45 system-ui, sans-serif; color: #1e293b; margin: 24px; max-width: 1400px; }
h1 { font-size: 22px; margin: 0 0 12px; }
h2 { font-size: 17px; margin: 28px 0 8px; border-bottom: 1px solid #cbd5e1; }
table { border-collapse: collapse; }
th, td { border: 1px solid #cbd5e1; padding: 3px 8px; text-align: left; vertical-align: top; }
th { background: #f1f5f9; }
table.facts th { width: 150px; }
table.sortable th { cursor: pointer; user-select: none; }
table.sortable th[data-dir="a"]::after { content: " \25B2"; }
table.sortable th[data-dir="d"]::after { content: " \25BC"; }
.result-ok { color: #15803d; font-weight: bold; }
.result-failed { color: #b91c1c; font-weight: bold; }
.findings { color: #b45309; font-weight: bold; }
.flag { display: inline-block; margin: 0 6px 2px 0; padding: 0 6px; border-radius: 4px;
        background: #e2e8f0; border: 1px solid #cbd5e1; }
.flag-Y { border-color: #64748b; font-weight: bold; }
.flag-fail-Y { background: #dc2626; border-color: #991b1b; color: #ffffff; font-weight: bold; }
td.fail-Y { background: #fee2e2; color: #991b1b; font-weight: bold; }
ul.reasons, ul.legend, ul.unplaced { margin: 0; padding-left: 18px; }
ul.legend { list-style: none; padding: 0; margin: 8px 0; }
ul.legend li { margin: 2px 0; }
abbr[title] { text-decoration: underline dotted; cursor: help; }
.judged { color: #475569; }
svg.swatch { vertical-align: -2px; }
.map-and-legend { display: flex; flex-wrap: wrap; gap: 8px 40px; align-items: flex-start; }
table.records { width: 100%; }
table.records td { overflow-wrap: break-word; }
td.num, td.short { white-space: nowrap; }
td.num { text-align: right; }
.note { color: #64748b; }
.incomplete { color: #b91c1c; font-weight: bold; border: 2px solid #b91c1c; padding: 8px 12px;
              margin: 0 0 12px; }
details { margin: 2px 0; }
footer.provenance { margin-top: 32px; padding-top: 8px; border-top: 1px solid #cbd5e1;
                    color: #64748b; font-size: 12px; }
)";

}  // namespace

// The policy names the script by its SHA-256 (base64), so that no other script can run even if
// a text from a database slipped through unescaped. Changing the script means changing the
// hash: printf %s "<script>" | openssl dgst -sha256 -binary | base64. The browser test fails
// (sorting stops working, the browser reports the refused script) when they disagree.
const std::string_view kSortScript =
    "for(const t of document.querySelectorAll('table.sortable')){const h=t.tHead.rows[0];for("
    "const c of h.cells){c.tabIndex=0;const go=()=>{const i=c.cellIndex,d=c.dataset.dir==='a'?-"
    "1:1;for(const o of h.cells)delete o.dataset.dir;c.dataset.dir=d>0?'a':'d';const b=t.tBodies"
    "[0],k=r=>r.cells[i].dataset.v??r.cells[i].textContent,n=(x,y)=>{const p=parseFloat(x),q="
    "parseFloat(y);return isNaN(p)||isNaN(q)?x.localeCompare(y):p-q};[...b.rows].sort((r,s)=>d*"
    "n(k(r),k(s))).forEach(r=>b.appendChild(r))};c.onclick=go;c.onkeydown=e=>{if(e.key==="
    "'Enter')go()}}}";
constexpr const char* kSortScriptHash = "sha256-rXFizCnIqClxl6PH5rFbC+tEaAXjfMR5ywn0qswqJF0=";

void writePageStart(std::ostream& html, const std::string& title, std::string_view script) {
  html << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
          "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
          "style-src 'unsafe-inline'"
       << (script.empty() ? "" : std::string("; script-src '") + kSortScriptHash + "'")
       << "\">\n<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>"
       << htmlText(title) << "</title>\n<style>" << kStyle << "</style>\n</head>\n<body>\n";
}

void writePageEnd(std::ostream& html, const Provenance& provenance, std::string_view script) {
  html << provenanceHtml(provenance);
  if (!script.empty()) html << "<script>" << script << "</script>\n";
  html << "</body>\n</html>\n";
}

std::string resultHtml(const std::string& result, std::size_t findings, std::size_t lotReasons) {
  if (result != "ok") {
    return "<span class=\"result-failed\">\"" + htmlText(result) + "\"</span>";
  }
  std::string html = "<span class=\"result-ok\">ok</span> \xE2\x80\x94 ";
  if (findings == 0 && lotReasons == 0) return html + "no findings";
  std::string found;
  if (findings > 0) found = std::to_string(findings) + (findings == 1 ? " finding" : " findings");
  if (lotReasons > 0) {
    found += (found.empty() ? "" : " and ") + std::to_string(lotReasons) +
             (lotReasons == 1 ? " lot reason" : " lot reasons");
  }
  return html + "<span class=\"findings\">" + found + "</span>";
}

std::string flagHtml(const std::string& name, const std::string& value) {
  const bool failFlag = name.size() >= 4 && name.compare(name.size() - 4, 4, "Fail") == 0;
  const std::string kind =
      std::string(failFlag ? "flag-fail-" : "flag-") + (value == "Y" ? "Y" : "N");
  return "<span class=\"flag " + kind + "\" data-flag=\"" + htmlText(name) + "\">" +
         htmlText(name) + "=" + htmlText(value) + "</span>";
}

}  // namespace velmora::cli
