#include "client/file_errors.hpp"

#include <cerrno>
#include <cstring>

#include "velmora/error.hpp"

namespace velmora::client {

void raiseFileError(const std::string& path, int errnoValue, bool exists) {
  std::int32_t number = kFileAccess;
  std::string description = "Path/File access error";
  if (!exists) {
    number = kFileNotFound;
    description = "File not found";
  } else if (errnoValue == EACCES || errnoValue == EPERM) {
    number = kPermissionDenied;
    description = "Permission denied";
  }
  description += ": '" + path + "'";
  if (exists && errnoValue != 0) description += std::string(" (") + std::strerror(errnoValue) + ")";
  throw AutomationError(number, description);
}

}  // namespace velmora::client
