#include "cli/stop_signals.hpp"

#include <unistd.h>

#include <cstring>

#include "cli/output_file.hpp"

namespace velmora::cli {
namespace {

std::atomic<bool> stopFlag{false};
std::atomic<int> stopSignal{0};
std::atomic<bool> gentle{false};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
              "the signal handler needs lock-free atomics");

void writeLine(const char* text) {
  const ssize_t ignored = ::write(STDERR_FILENO, text, std::strlen(text));
  (void)ignored;
}

extern "C" void onStopSignal(int number) {
  if (gentle.load() && !stopFlag.exchange(true)) {
    stopSignal.store(number);
    return;
  }
  // Only async-signal-safe calls from here on.
  removePendingOutput();
  const bool term = number == SIGTERM;
  if (gentle.load()) {
    writeLine(term ? "velmora: stopped at once by a second signal (SIGTERM); the lots under way "
                     "did not finish and no summary was written\n"
                   : "velmora: stopped at once by a second signal (SIGINT); the lots under way "
                     "did not finish and no summary was written\n");
  } else {
    writeLine(
        term ? "velmora: stopped by SIGTERM before the check finished; no output was written\n"
             : "velmora: stopped by SIGINT before the check finished; no output was written\n");
  }
  ::_exit(128 + number);
}

}  // namespace

StopSignals::StopSignals(Mode mode) {
  stopFlag.store(false);
  stopSignal.store(0);
  gentle.store(mode == Mode::kGentle);
  struct sigaction action {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &previousInt_);
  sigaction(SIGTERM, &action, &previousTerm_);
}

StopSignals::~StopSignals() {
  sigaction(SIGINT, &previousInt_, nullptr);
  sigaction(SIGTERM, &previousTerm_, nullptr);
}

const std::atomic<bool>& StopSignals::stopRequested() {
  return stopFlag;
}

int StopSignals::signalNumber() {
  return stopSignal.load();
}

const char* StopSignals::signalName() {
  return stopSignal.load() == SIGTERM ? "SIGTERM" : "SIGINT";
}

}  // namespace velmora::cli
