#include "cli/output_file.hpp"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace velmora::cli {

void writeOutputFile(const std::string& path, const std::string& text) {
  errno = 0;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (out.is_open()) {
    out << text;
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
