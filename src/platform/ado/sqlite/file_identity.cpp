// The POSIX half (the Windows one is file_identity_windows.cpp): stat's device, inode, size and
// modification time in nanoseconds.
#ifndef _WIN32

#include "platform/ado/sqlite/file_identity.hpp"

#include <sys/stat.h>

namespace velmora::ado::sqlite {

std::optional<FileIdentity> FileIdentity::of(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  FileIdentity identity;
  identity.device = static_cast<std::uint64_t>(status.st_dev);
  identity.file = static_cast<std::uint64_t>(status.st_ino);
  identity.size = static_cast<std::uint64_t>(status.st_size);
  identity.modifiedSeconds = static_cast<std::int64_t>(status.st_mtim.tv_sec);
  identity.modifiedNanoseconds = static_cast<std::int64_t>(status.st_mtim.tv_nsec);
  return identity;
}

}  // namespace velmora::ado::sqlite

#endif
