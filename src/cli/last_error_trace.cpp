#include "cli/last_error_trace.hpp"

#include <cctype>
#include <string_view>
#include <utility>

namespace velmora::cli {
namespace {

// Every entry is written at this level when there is no trace to ask.
constexpr std::int16_t kAllEntries = 5;

}  // namespace

bool isErrorEntry(const std::string& entry) {
  const std::size_t separator = entry.find(": ");
  if (separator == std::string::npos) return false;
  const std::string_view text = std::string_view(entry).substr(separator + 2);
  // "<number>:<description>": an optional minus sign, digits, a colon, then the description.
  std::size_t i = text.empty() || text[0] != '-' ? 0 : 1;
  const std::size_t digits = i;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
  if (i == digits || i >= text.size() || text[i] != ':') return false;
  return i + 1 < text.size();
}

LastErrorTrace::LastErrorTrace(std::shared_ptr<TraceLog> next) : next_(std::move(next)) {}

std::int16_t LastErrorTrace::TraceLevel() {
  return next_ ? next_->TraceLevel() : kAllEntries;
}

void LastErrorTrace::WriteTrace(std::int16_t& level, std::string& text) {
  if (isErrorEntry(text)) {
    std::lock_guard<std::mutex> lock(mutex_);
    last_ = text;
  }
  if (next_) next_->WriteTrace(level, text);
}

std::string LastErrorTrace::lastError() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return last_;
}

void LastErrorTrace::clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  last_.clear();
}

}  // namespace velmora::cli
