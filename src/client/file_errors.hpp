// Automation errors for files the client objects read or write.
#pragma once

#include <cstdint>
#include <string>

namespace velmora::client {

inline constexpr std::int32_t kFileNotFound = 53;      // "File not found"
inline constexpr std::int32_t kPermissionDenied = 70;  // "Permission denied"
inline constexpr std::int32_t kFileAccess = 75;        // "Path/File access error"

// Raises the error for a file that cannot be opened: 53 when it does not exist, 70 when access
// is denied (`errnoValue` EACCES or EPERM), 75 otherwise; the description is the standard text,
// ": '", the path and "'", plus " (" reason ")" when a system reason is known.
[[noreturn]] void raiseFileError(const std::string& path, int errnoValue, bool exists);

}  // namespace velmora::client
