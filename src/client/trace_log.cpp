#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "client/file_errors.hpp"
#include "velmora/client.hpp"

namespace velmora {
namespace {

// The local time now, "YYYY-MM-DDTHH:MM:SS.mmm".
std::string timestamp() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto milliseconds =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[40];
  const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
  std::snprintf(text + length, sizeof text - length, ".%03d", static_cast<int>(milliseconds));
  return text;
}

// Entries of the component are written at the level its trace reports; 5 writes them all.
constexpr std::int16_t kTraceAll = 5;

}  // namespace

StreamTraceLog::StreamTraceLog(std::ostream& out, std::int16_t level) : out_(&out), level_(level) {}

StreamTraceLog::StreamTraceLog(const std::string& path, std::int16_t level)
    : file_(std::make_unique<std::ofstream>()), out_(file_.get()), level_(level) {
  errno = 0;
  file_->open(path, std::ios::out | std::ios::app);
  if (!file_->is_open()) {
    const int reason = errno;
    std::error_code ec;
    const bool parentExists =
        std::filesystem::exists(std::filesystem::path(path).parent_path().empty()
                                    ? std::filesystem::path(".")
                                    : std::filesystem::path(path).parent_path(),
                                ec);
    client::raiseFileError(path, reason, parentExists);
  }
}

void StreamTraceLog::WriteTrace(std::int16_t& level, std::string& text) {
  if (level <= 0 || level > level_) return;
  std::string line = timestamp();
  line += ' ';
  line += text;
  line += '\n';
  std::lock_guard<std::mutex> lock(mutex_);
  errno = 0;
  *out_ << line;
  out_->flush();
  if (!*out_ && writeError_.empty()) {
    writeError_ = errno != 0 ? std::strerror(errno) : "write failed";
  }
}

std::string StreamTraceLog::writeError() {
  std::lock_guard<std::mutex> lock(mutex_);
  return writeError_;
}

std::shared_ptr<StreamTraceLog> openTrace(const std::string& target, std::ostream& standardError) {
  if (target.empty()) return nullptr;
  if (target == "-") return std::make_shared<StreamTraceLog>(standardError, kTraceAll);
  return std::make_shared<StreamTraceLog>(target, kTraceAll);
}

}  // namespace velmora
