// Where a report came from: when it was made, by which version of Velmora, from which home and
// MES database, and from what run. Every HTML page ends with it, so that a page found later in a
// mail or on a share still says what it shows.
#pragma once

#include <string>

namespace velmora::cli {

struct Provenance {
  std::string made;     // UTC time the report was written, "2026-12-09 19:40:01 UTC"
  std::string version;  // "velmora 1.2.0"
  std::string home;     // the MES client home folder
  std::string mes;      // the MES database URI with its passwords masked (shownUri)
  std::string source;   // what the facts come from, e.g. "a batch of 16 lots, 2 jobs, 0.4 s"
};

// The provenance of a report written now from `home` and the MES database `mesUri`.
Provenance provenanceNow(const std::string& home, const std::string& mesUri,
                         const std::string& source);

// The page footer: one line of the facts above.
std::string provenanceHtml(const Provenance& provenance);

}  // namespace velmora::cli
