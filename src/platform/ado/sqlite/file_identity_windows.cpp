// The Windows half (the POSIX one is file_identity.cpp): the volume serial number, file index,
// size and last write time (in 100-nanosecond steps) of the file, opened for its attributes only
// and shared with every other opener.
#ifdef _WIN32

#include "platform/windows.hpp"

#include <climits>

#include "platform/ado/sqlite/file_identity.hpp"

namespace velmora::ado::sqlite {
namespace {

// `text` (UTF-8) as a wide string; none when it is not valid UTF-8 or too long.
std::optional<std::wstring> wideName(const std::string& text) {
  if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
  const int bytes = static_cast<int>(text.size());
  const int units =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), bytes, nullptr, 0);
  if (units <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), bytes, wide.data(), units) !=
      units) {
    return std::nullopt;
  }
  return wide;
}

std::uint64_t joined(DWORD high, DWORD low) {
  return (static_cast<std::uint64_t>(high) << 32) | static_cast<std::uint64_t>(low);
}

}  // namespace

std::optional<FileIdentity> FileIdentity::of(const std::string& path) {
  const std::optional<std::wstring> name = wideName(path);
  if (!name) return std::nullopt;
  HANDLE file =
      CreateFileW(name->c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION information{};
  const BOOL found = GetFileInformationByHandle(file, &information);
  CloseHandle(file);
  if (!found) return std::nullopt;
  constexpr std::uint64_t kStepsPerSecond = 10'000'000;  // FILETIME counts 100 ns steps
  const std::uint64_t written =
      joined(information.ftLastWriteTime.dwHighDateTime, information.ftLastWriteTime.dwLowDateTime);
  FileIdentity identity;
  identity.device = information.dwVolumeSerialNumber;
  identity.file = joined(information.nFileIndexHigh, information.nFileIndexLow);
  identity.size = joined(information.nFileSizeHigh, information.nFileSizeLow);
  identity.modifiedSeconds = static_cast<std::int64_t>(written / kStepsPerSecond);
  identity.modifiedNanoseconds = static_cast<std::int64_t>(written % kStepsPerSecond * 100);
  return identity;
}

}  // namespace velmora::ado::sqlite

#endif
