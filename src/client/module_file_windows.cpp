// The Windows half (the POSIX one is module_file.cpp): the module whose image holds an object of
// this code, and that module's file name.
#ifdef _WIN32

#include "platform/windows.hpp"

#include <string>

#include "client/module_file.hpp"

namespace velmora::client {
namespace {

const char kLocationMarker = 0;

}  // namespace

std::filesystem::path loadedModuleFile() {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCWSTR>(&kLocationMarker), &module)) {
    return {};
  }
  // The name is cut to the buffer's size without saying so other than by filling it: retry
  // with a larger buffer until it fits (long paths reach 32,767 characters).
  std::wstring name(MAX_PATH, L'\0');
  while (name.size() <= 32768) {
    const DWORD length = GetModuleFileNameW(module, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return {};
    if (length < name.size()) {
      name.resize(length);
      return std::filesystem::path(name);
    }
    name.resize(name.size() * 2);
  }
  return {};
}

}  // namespace velmora::client

#endif
