#include "cli/provenance.hpp"

#include <ctime>

#include "cli/html_text.hpp"
#include "velmora/version.hpp"

namespace velmora::cli {
namespace {

bool isPasswordKey(std::string key) {
  while (!key.empty() && key.back() == ' ') key.pop_back();
  while (!key.empty() && key.front() == ' ') key.erase(0, 1);
  for (char& c : key) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  return key == "PWD" || key == "PASSWORD";
}

}  // namespace

std::string maskedUri(const std::string& uri) {
  static constexpr std::string_view kOdbc = "odbc:";
  if (uri.size() < kOdbc.size()) return uri;
  for (std::size_t i = 0; i < kOdbc.size(); ++i) {
    if ((uri[i] | 0x20) != kOdbc[i] && uri[i] != kOdbc[i]) return uri;
  }
  // Items "key=value" separated by ";"; a value in braces may hold ";" and ends at "}"
  // ("}}" is a brace inside it), as ODBC drivers read connection strings.
  std::string out = uri.substr(0, kOdbc.size());
  std::size_t at = kOdbc.size();
  while (at < uri.size()) {
    const std::size_t equals = uri.find('=', at);
    const std::size_t semicolon = uri.find(';', at);
    if (equals == std::string::npos || (semicolon != std::string::npos && semicolon < equals)) {
      const std::size_t end = semicolon == std::string::npos ? uri.size() : semicolon + 1;
      out += uri.substr(at, end - at);
      at = end;
      continue;
    }
    std::size_t end = equals + 1;
    while (end < uri.size() && uri[end] == ' ') ++end;
    if (end < uri.size() && uri[end] == '{') {
      for (++end; end < uri.size(); ++end) {
        if (uri[end] != '}') continue;
        if (end + 1 < uri.size() && uri[end + 1] == '}') {
          ++end;
          continue;
        }
        ++end;
        break;
      }
    }
    end = uri.find(';', end);
    if (end == std::string::npos) end = uri.size();
    const std::string key = uri.substr(at, equals - at);
    out += key + "=" + (isPasswordKey(key) ? "***" : uri.substr(equals + 1, end - equals - 1));
    if (end < uri.size()) out += ';';
    at = end + 1;
  }
  return out;
}

Provenance provenanceNow(const std::string& home, const std::string& mesUri,
                         const std::string& source) {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char made[40];
  std::strftime(made, sizeof made, "%Y-%m-%d %H:%M:%S UTC", &utc);
  return {made, std::string("velmora ") + VELMORA_VERSION_STRING, home, maskedUri(mesUri), source};
}

std::string provenanceHtml(const Provenance& p) {
  return "<footer class=\"provenance\">Made " + htmlText(p.made) + " by " + htmlText(p.version) +
         " from home <code>" + htmlText(p.home) + "</code> and MES database <code>" +
         htmlText(p.mes) + "</code>" + (p.source.empty() ? "" : "; " + htmlText(p.source)) +
         ".</footer>\n";
}

}  // namespace velmora::cli
