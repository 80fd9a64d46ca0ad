#include "cli/output_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;

// The temporary file being written, for removePendingOutput (a fixed buffer: a signal handler
// may read it at any time).
char pendingPath[4096] = "";
volatile std::sig_atomic_t pending = 0;

[[noreturn]] void fail(const std::string& path, int reason) {
  throw OutputError("cannot write " + path +
                    (reason != 0 ? ": " + std::string(std::strerror(reason)) : ""));
}

// Streams `write` into the file `path`, already open or created; true when all of it was
// written and the file closed.
bool streamTo(const std::string& path, const std::function<void(std::ostream&)>& write,
              std::ios::openmode mode) {
  std::ofstream out(path, mode);
  if (!out.is_open()) return false;
  write(out);
  out.flush();
  if (!out.good()) return false;
  out.close();
  return !out.fail();
}

// The permissions a new file gets: those of the file it replaces, else 0666 less the umask.
mode_t newFileMode(const std::string& target) {
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

void writeOutputFile(const std::string& path, const std::string& text) {
  writeOutputFile(path, [&text](std::ostream& out) { out << text; });
}

void writeOutputFile(const std::string& path, const std::function<void(std::ostream&)>& write) {
  errno = 0;
  std::error_code ec;
  // A link is followed, so that the file it names is replaced and the link stays.
  const fs::path target = fs::weakly_canonical(fs::path(path), ec);
  const fs::file_status status = fs::status(target, ec);
  if (ec || (fs::exists(status) && !fs::is_regular_file(status))) {
    // A device or pipe (or a path whose folder cannot be read): written in place.
    if (!streamTo(path, write, std::ios::binary | std::ios::trunc)) fail(path, errno);
    return;
  }

  std::string temporary = target.string();
  const std::size_t slash = temporary.rfind('/');
  temporary.insert(slash + 1, ".");
  temporary += ".velmora-XXXXXX";
  if (temporary.size() >= sizeof pendingPath) fail(path, ENAMETOOLONG);
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) fail(path, errno);
  std::memcpy(pendingPath, temporary.c_str(), temporary.size() + 1);
  pending = 1;
  const bool chmodded = ::fchmod(fd, newFileMode(target.string())) == 0;
  ::close(fd);
  const bool written = chmodded && streamTo(temporary, write, std::ios::binary | std::ios::trunc);
  const int reason = errno;
  if (!written || std::rename(temporary.c_str(), target.c_str()) != 0) {
    const int renameReason = written ? errno : reason;
    ::unlink(temporary.c_str());
    pending = 0;
    fail(path, renameReason);
  }
  pending = 0;
}

void removePendingOutput() noexcept {
  if (pending != 0) ::unlink(pendingPath);
}

}  // namespace velmora::cli
