// Writing a whole output (a report, a summary) to a file named on the command line.
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

// Writes `text` to `path` (created or truncated). A file that cannot be opened or written is an
// OutputError naming it and the system's reason.
void writeOutputFile(const std::string& path, const std::string& text);

// The same for an output that `write` streams to the file (a large report is never held whole
// in memory).
void writeOutputFile(const std::string& path, const std::function<void(std::ostream&)>& write);

}  // namespace velmora::cli
