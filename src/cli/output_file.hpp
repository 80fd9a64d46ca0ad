// Writing a whole output (a report, a summary) to a file named on the command line.
//
// A regular file (or a name that does not exist yet) is written to a new file beside it and
// renamed over it only when complete, so that a run that is interrupted, killed or out of disk
// leaves the old file or the new one, never part of one. Anything else (a device such as
// /dev/stdout, a pipe) is written in place.
#pragma once

#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>

namespace velmora::cli {

class OutputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Writes `text` to `path`. A file that cannot be opened or written is an OutputError naming it
// and the system's reason.
void writeOutputFile(const std::string& path, const std::string& text);

// The same for an output that `write` streams to the file (a large report is never held whole
// in memory).
void writeOutputFile(const std::string& path, const std::function<void(std::ostream&)>& write);

// Removes the file that writeOutputFile is writing before renaming it into place, if any. Safe
// in a signal handler (it only calls unlink), for a process that ends at once.
void removePendingOutput() noexcept;

}  // namespace velmora::cli
