// The POSIX half (the Windows one is module_file_windows.cpp): dladdr maps the address of an
// object of this code back to the file holding it.
#ifndef _WIN32

#include "client/module_file.hpp"

#include <dlfcn.h>

namespace velmora::client {
namespace {

const char kLocationMarker = 0;

}  // namespace

std::filesystem::path loadedModuleFile() {
  Dl_info info{};
  if (dladdr(&kLocationMarker, &info) == 0 || info.dli_fname == nullptr) return {};
  std::error_code ignored;
  return std::filesystem::absolute(info.dli_fname, ignored);
}

}  // namespace velmora::client

#endif
