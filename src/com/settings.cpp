#include "settings.hpp"

#include <windows.h>

#include <optional>

#include "com_text.hpp"

namespace velmora::com {
namespace {

// A REG_SZ value, or a REG_EXPAND_SZ one with its variables expanded (RegGetValueW does that for
// RRF_RT_REG_SZ; asking for REG_EXPAND_SZ as well is refused as an invalid parameter).
std::optional<std::wstring> registryText(HKEY root, const wchar_t* name) {
  DWORD bytes = 0;
  DWORD type = 0;
  if (RegGetValueW(root, L"Software\\Velmora", name, RRF_RT_REG_SZ, &type, nullptr, &bytes) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (RegGetValueW(root, L"Software\\Velmora", name, RRF_RT_REG_SZ, &type, value.data(), &bytes) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.resize(wcsnlen(value.c_str(), value.size()));
  if (value.empty()) return std::nullopt;
  return value;
}

std::optional<std::wstring> setting(const wchar_t* name) {
  if (auto user = registryText(HKEY_CURRENT_USER, name)) return user;
  return registryText(HKEY_LOCAL_MACHINE, name);
}

}  // namespace

std::string configuredHome() {
  const DWORD length = GetEnvironmentVariableW(L"VELMORA_HOME", nullptr, 0);
  if (length > 1) {
    std::wstring value(length, L'\0');
    value.resize(GetEnvironmentVariableW(L"VELMORA_HOME", value.data(), length));
    if (!value.empty()) return toUtf8(value);
  }
  return toUtf8(setting(L"Home").value_or(L""));
}

std::wstring iniFileProgId() {
  return setting(L"IniFileProgID").value_or(L"Velmora.IniFile");
}

}  // namespace velmora::com
