// The progress line of `velmora batch` on standard error: lots done of all, the rate, the time
// still to go and the failures so far.
#pragma once

#include <chrono>
#include <cstddef>
#include <ostream>
#include <string>

namespace velmora::cli {

// "velmora batch: 120/1000 lots, 45.3 lots/s, ETA 0:19, 2 failed". The ETA is left out until a
// lot is done.
std::string progressLine(std::size_t done, std::size_t total, std::size_t failed,
                         double elapsedSeconds);

// Writes the progress line to `err` at most every `every`: on a terminal over itself ("\r",
// then erase to the end of the line), elsewhere as lines of their own.
class Progress {
 public:
  Progress(std::ostream& err, bool enabled, bool terminal, std::size_t total);

  void update(std::size_t done, std::size_t failed);
  // Removes the line from a terminal (or writes the last one elsewhere) before the summary.
  void finish(std::size_t done, std::size_t failed);

 private:
  void write(std::size_t done, std::size_t failed);

  std::ostream& err_;
  bool enabled_;
  bool terminal_;
  std::size_t total_;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point last_{};
  bool written_ = false;
};

}  // namespace velmora::cli
