#include "cli/output_file.hpp"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace velmora::cli {

void writeOutputFile(const std::string& path, const std::string& text) {
  writeOutputFile(path, [&text](std::ostream& out) { out << text; });
}

void writeOutputFile(const std::string& path, const std::function<void(std::ostream&)>& write) {
  errno = 0;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (out.is_open()) {
    write(out);
    out.flush();
    if (out.good()) {
      out.close();
      if (!out.fail()) return;
    }
  }
  const int reason = errno;
  throw OutputError("cannot write " + path +
                    (reason != 0 ? ": " + std::string(std::strerror(reason)) : ""));
}

}  // namespace velmora::cli
