// What every HTML page of the reports shares: the page frame with its style sheet and security
// policy, the result as it is shown, the flags, and the provenance footer.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

#include "cli/provenance.hpp"

namespace velmora::cli {

// Starts a page: doctype, head with `title`, the shared style sheet, and a
// Content-Security-Policy that forbids loading anything and runs no script but `script` (one
// of the scripts of this file's kScripts, "" for none). Then opens the body.
void writePageStart(std::ostream& html, const std::string& title, std::string_view script = {});

// Ends a page with its provenance footer (and the script, placed last so that it finds the
// whole document).
void writePageEnd(std::ostream& html, const Provenance& provenance, std::string_view script = {});

// The script that sorts a table with class "sortable" by the column whose header is clicked
// (numbers as numbers, then texts), the second click in the other order.
extern const std::string_view kSortScript;

// The result as the reports show it: "ok" in green with what was found beside it ("ok — 13
// findings and 11 lot reasons", "ok — no findings"), so that "ok" never reads as "clean"; any
// other result in red, quoted ("", "SqlFail"). `findings` counts the records.
std::string resultHtml(const std::string& result, std::size_t findings, std::size_t lotReasons);

// A flag as a badge: `name`=`value`; the two *Fail flags are red when "Y", the others neutral.
std::string flagHtml(const std::string& name, const std::string& value);

}  // namespace velmora::cli
