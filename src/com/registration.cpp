// Self-registration (regsvr32): for each class its CLSID key with InprocServer32 (apartment
// threaded), ProgID, versioned ProgID and type library, the ProgID keys, and the type library.
// Everything goes under HKEY_CLASSES_ROOT, where every client's CreateObject looks.
#include <windows.h>  // before every other Windows header: they need its types

#include <oleauto.h>
#include <olectl.h>

#include <string>

#include "classes.hpp"
#include "module.hpp"
#include "velmora_h.h"

namespace velmora::com {
namespace {

std::wstring guidText(REFGUID guid) {
  wchar_t text[64];
  StringFromGUID2(guid, text, 64);
  return text;
}

bool setValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  HKEY handle = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const LONG result =
      RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
  return result == ERROR_SUCCESS;
}

bool registerClass(const ClassEntry& entry, const std::wstring& path) {
  const std::wstring clsid = guidText(*entry.clsid);
  const std::wstring progId = std::wstring(L"Velmora.") + entry.name;
  const std::wstring versioned = progId + L".1";
  const std::wstring key = L"CLSID\\" + clsid;
  bool ok = setValue(key, nullptr, entry.description);
  ok = setValue(key + L"\\InprocServer32", nullptr, path) && ok;
  ok = setValue(key + L"\\InprocServer32", L"ThreadingModel", L"Apartment") && ok;
  ok = setValue(key + L"\\ProgID", nullptr, versioned) && ok;
  ok = setValue(key + L"\\VersionIndependentProgID", nullptr, progId) && ok;
  ok = setValue(key + L"\\TypeLib", nullptr, guidText(LIBID_Velmora)) && ok;
  ok = setValue(key + L"\\Version", nullptr, L"1.0") && ok;
  ok = setValue(key + L"\\Programmable", nullptr, L"") && ok;
  for (const std::wstring& name : {progId, versioned}) {
    ok = setValue(name, nullptr, entry.description) && ok;
    ok = setValue(name + L"\\CLSID", nullptr, clsid) && ok;
  }
  ok = setValue(progId + L"\\CurVer", nullptr, versioned) && ok;
  return ok;
}

void unregisterClass(const ClassEntry& entry) {
  const std::wstring progId = std::wstring(L"Velmora.") + entry.name;
  RegDeleteTreeW(HKEY_CLASSES_ROOT, progId.c_str());
  RegDeleteTreeW(HKEY_CLASSES_ROOT, (progId + L".1").c_str());
  RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + guidText(*entry.clsid)).c_str());
}

SYSKIND thisSystem() {
  return sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
}

}  // namespace
}  // namespace velmora::com

using namespace velmora::com;

extern "C" {

STDAPI DllRegisterServer() {
  const std::wstring path = modulePath();
  for (const ClassEntry& entry : classes()) {
    if (!registerClass(entry, path)) {
      DllUnregisterServer();
      return SELFREG_E_CLASS;
    }
  }
  ITypeLib* library = nullptr;
  HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library);
  if (SUCCEEDED(hr)) {
    hr = RegisterTypeLib(library, const_cast<LPOLESTR>(path.c_str()), nullptr);
    library->Release();
  }
  if (FAILED(hr)) {
    DllUnregisterServer();
    return SELFREG_E_TYPELIB;
  }
  return S_OK;
}

STDAPI DllUnregisterServer() {
  for (const ClassEntry& entry : classes()) unregisterClass(entry);
  UnRegisterTypeLib(LIBID_Velmora, 1, 0, LOCALE_NEUTRAL, thisSystem());
  // RegisterTypeLib also wrote the interfaces' keys; UnRegisterTypeLib removes them with the
  // library's own.
  return S_OK;
}

}  // extern "C"
