#include <cstdlib>
#include <filesystem>

#include "client/module_file.hpp"
#include "velmora/session.hpp"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// The demo home installed next to the file this code was loaded from (the shared library, or a
// program linked with the library statically): <libdir>/<relative path to the data dir>.
fs::path installedDemoHome() {
  const fs::path loaded = client::loadedModuleFile();
  if (loaded.empty()) return {};
  std::error_code ignored;
  const fs::path file = fs::weakly_canonical(loaded, ignored);
  return (file.parent_path() / VELMORA_DEMO_HOME_FROM_LIBDIR).lexically_normal();
}

}  // namespace

std::string defaultHome() {
  const char* env = std::getenv("VELMORA_HOME");
  if (env != nullptr && *env != '\0') return env;
  const fs::path installed = installedDemoHome();
  std::error_code ignored;
  if (!installed.empty() && fs::exists(installed, ignored)) return installed.string();
  if (fs::exists(VELMORA_DEMO_HOME, ignored)) return VELMORA_DEMO_HOME;
  return installed.empty() ? std::string(VELMORA_DEMO_HOME) : installed.string();
}

}  // namespace velmora
