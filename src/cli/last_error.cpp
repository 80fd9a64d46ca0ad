#include "cli/last_error.hpp"

#include <cctype>
#include <string_view>

namespace velmora::cli {
namespace {

constexpr std::string_view kSourcePrefix = "Abnormals.";

// True when `text` starts with "<number>:" and the number is not 0 ("0:" closes a SqlFail run).
bool isErrorText(std::string_view text) {
  std::size_t i = text.rfind('-', 0) == 0 ? 1 : 0;
  const std::size_t digits = i;
  bool nonZero = false;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) != 0) {
    nonZero = nonZero || text[i] != '0';
    ++i;
  }
  return i > digits && i < text.size() && text[i] == ':' && nonZero;
}

}  // namespace

void LastErrorTrace::WriteTrace(std::int16_t& level, std::string& text) {
  const std::string_view entry = text;
  const std::size_t colon = entry.find(": ");
  if (entry.rfind(kSourcePrefix, 0) == 0 && colon != std::string_view::npos &&
      isErrorText(entry.substr(colon + 2))) {
    procedure_ = std::string(entry.substr(kSourcePrefix.size(), colon - kSourcePrefix.size()));
    error_ = std::string(entry.substr(colon + 2));
  }
  if (inner_) inner_->WriteTrace(level, text);
}

}  // namespace velmora::cli
