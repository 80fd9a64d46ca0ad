#include "cli/provenance.hpp"

#include <ctime>

#include "cli/html_text.hpp"
#include "velmora/client.hpp"
#include "velmora/version.hpp"

namespace velmora::cli {

Provenance provenanceNow(const std::string& home, const std::string& mesUri,
                         const std::string& source) {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char made[40];
  std::strftime(made, sizeof made, "%Y-%m-%d %H:%M:%S UTC", &utc);
  return {made, std::string("velmora ") + VELMORA_VERSION_STRING, home, shownUri(mesUri), source};
}

std::string provenanceHtml(const Provenance& p) {
  return "<footer class=\"provenance\">Made " + htmlText(p.made) + " by " + htmlText(p.version) +
         " from home <code>" + htmlText(p.home) + "</code> and MES database <code>" +
         htmlText(p.mes) + "</code>" + (p.source.empty() ? "" : "; " + htmlText(p.source)) +
         ".</footer>\n";
}

}  // namespace velmora::cli
