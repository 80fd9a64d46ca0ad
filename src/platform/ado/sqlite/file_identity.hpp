// The identity of a database file: what tells one file from another at the same path, so that a
// file replaced or rewritten since it was looked at last shows a different identity.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velmora::ado::sqlite {

struct FileIdentity {
  std::uint64_t device = 0;  // the file system or volume holding the file
  std::uint64_t file = 0;    // the file within it (inode, file index)
  std::uint64_t size = 0;
  std::int64_t modifiedSeconds = 0;
  std::int64_t modifiedNanoseconds = 0;

  // The identity of the file `path` (UTF-8, as SQLite takes it) names now; none when it names
  // no file or the file cannot be examined.
  static std::optional<FileIdentity> of(const std::string& path);

  bool operator==(const FileIdentity& other) const = default;
};

}  // namespace velmora::ado::sqlite
