#include "cli/batch_progress.hpp"

#include <cstdio>

namespace velmora::cli {
namespace {

// A terminal line is redrawn four times a second; a log gets a line every ten seconds.
constexpr std::chrono::milliseconds kTerminalEvery{250};
constexpr std::chrono::milliseconds kLogEvery{10000};

}  // namespace

std::string progressLine(std::size_t done, std::size_t total, std::size_t failed,
                         double elapsedSeconds) {
  char text[160];
  const double rate = elapsedSeconds > 0 ? static_cast<double>(done) / elapsedSeconds : 0.0;
  int length = std::snprintf(text, sizeof text, "velmora batch: %zu/%zu lots, %.1f lots/s", done,
                             total, rate);
  if (done > 0 && rate > 0 && length > 0) {
    const auto eta = static_cast<long long>(static_cast<double>(total - done) / rate + 0.5);
    length += std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length),
                            ", ETA %lld:%02lld", eta / 60, eta % 60);
  }
  if (length > 0) {
    std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length), ", %zu failed",
                  failed);
  }
  return text;
}

Progress::Progress(std::ostream& err, bool enabled, bool terminal, std::size_t total)
    : err_(err),
      enabled_(enabled),
      terminal_(terminal),
      total_(total),
      start_(std::chrono::steady_clock::now()) {}

void Progress::update(std::size_t done, std::size_t failed) {
  if (!enabled_) return;
  const auto now = std::chrono::steady_clock::now();
  if (written_ && now - last_ < (terminal_ ? kTerminalEvery : kLogEvery)) return;
  write(done, failed);
}

void Progress::finish(std::size_t done, std::size_t failed) {
  if (!enabled_) return;
  if (terminal_) {
    if (written_) err_ << "\r\x1b[K" << std::flush;
    return;
  }
  write(done, failed);
}

void Progress::write(std::size_t done, std::size_t failed) {
  last_ = std::chrono::steady_clock::now();
  written_ = true;
  const double seconds = std::chrono::duration<double>(last_ - start_).count();
  const std::string line = progressLine(done, total_, failed, seconds);
  if (terminal_) {
    err_ << '\r' << line << "\x1b[K" << std::flush;
  } else {
    err_ << line << '\n' << std::flush;
  }
}

}  // namespace velmora::cli
