// The file the library's code was loaded from: the shared library or DLL, or a program linked
// with the library statically.
#pragma once

#include <filesystem>

namespace velmora::client {

// Absolute; empty when the system cannot tell.
std::filesystem::path loadedModuleFile();

}  // namespace velmora::client
