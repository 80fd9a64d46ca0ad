// SIGINT and SIGTERM while the command runs.
//
// Two ways to take them: a batch asks the first one to stop gently (no further lot starts, the
// lots under way finish, every finished line and the summary are written) and ends at once on a
// second; a single check ends at once. Ending at once still says why on standard error, in one
// line, and removes an output file that was being written.
#pragma once

#include <atomic>
#include <csignal>

namespace velmora::cli {

class StopSignals {
 public:
  enum class Mode {
    kGentle,  // the first signal sets stopRequested(); a second ends the process at once
    kAtOnce,  // every signal ends the process at once
  };

  // Installs the handlers for SIGINT and SIGTERM.
  explicit StopSignals(Mode mode);
  // Restores the handlers that were in place.
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // The flag the first signal sets in kGentle mode.
  static const std::atomic<bool>& stopRequested();
  // The signal that asked to stop (0: none).
  static int signalNumber();
  // "SIGINT" or "SIGTERM" for signalNumber().
  static const char* signalName();

 private:
  struct sigaction previousInt_ {};
  struct sigaction previousTerm_ {};
};

}  // namespace velmora::cli
