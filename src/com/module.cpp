// The DLL's entry points: DllMain, the class factory, DllGetClassObject and DllCanUnloadNow.
#include "module.hpp"

#include <memory>
#include <mutex>
#include <new>

#include "classes.hpp"
#include "velmora_h.h"

namespace velmora::com {
namespace {

HINSTANCE instance = nullptr;
LONG liveObjects = 0;
LONG serverLocks = 0;

std::once_flag typeLibraryLoaded;
ITypeLib* typeLibrary = nullptr;  // kept for the life of the process
HRESULT typeLibraryResult = E_FAIL;

class ClassFactory final : public IClassFactory {
 public:
  explicit ClassFactory(const ClassEntry& entry) : entry_(entry) {}
  virtual ~ClassFactory() = default;

  STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *out = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references_); }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    IUnknown* object = entry_.create();
    if (object == nullptr) return E_OUTOFMEMORY;
    const HRESULT hr = object->QueryInterface(riid, out);
    object->Release();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    lockServer(lock != FALSE);
    return S_OK;
  }

 private:
  const ClassEntry& entry_;
  LONG references_ = 1;
};

}  // namespace

HINSTANCE moduleInstance() {
  return instance;
}

std::wstring modulePath() {
  std::wstring path(MAX_PATH, L'\0');
  while (true) {
    const DWORD length = GetModuleFileNameW(instance, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

void objectCreated() {
  InterlockedIncrement(&liveObjects);
}

void objectDestroyed() {
  InterlockedDecrement(&liveObjects);
}

bool canUnload() {
  return liveObjects == 0 && serverLocks == 0;
}

void lockServer(bool lock) {
  if (lock) {
    InterlockedIncrement(&serverLocks);
  } else {
    InterlockedDecrement(&serverLocks);
  }
}

HRESULT typeInfo(REFIID iid, ITypeInfo** out) {
  std::call_once(typeLibraryLoaded, [] {
    // The library inside this DLL, whether or not it is registered: a host that loads the DLL
    // without registration (side by side) still gets IDispatch.
    typeLibraryResult = LoadTypeLibEx(modulePath().c_str(), REGKIND_NONE, &typeLibrary);
  });
  if (FAILED(typeLibraryResult)) return typeLibraryResult;
  return typeLibrary->GetTypeInfoOfGuid(iid, out);
}

std::span<const ClassEntry> classes() {
  static const ClassEntry entries[] = {
      {&CLSID_Abnormals, L"Abnormals", L"Velmora check object", newAbnormals},
      {&CLSID_Abnormal, L"Abnormal", L"Velmora finding record", newAbnormal},
      {&CLSID_DataSet, L"DataSet", L"Velmora set of texts", newDataSet},
      {&CLSID_MesDatabase, L"MesDatabase", L"Velmora MES database", newMesDatabase},
      {&CLSID_TraceLog, L"TraceLog", L"Velmora trace file", newTraceLog},
      {&CLSID_IniFile, L"IniFile", L"Velmora configuration file reader", newIniFile},
  };
  return entries;
}

}  // namespace velmora::com

using namespace velmora::com;

extern "C" {

BOOL WINAPI DllMain(HINSTANCE handle, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    instance = handle;
    DisableThreadLibraryCalls(handle);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  for (const ClassEntry& entry : classes()) {
    if (*entry.clsid != clsid) continue;
    auto* factory = new (std::nothrow) ClassFactory(entry);
    if (factory == nullptr) return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(riid, out);
    factory->Release();
    return hr;
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() {
  return canUnload() ? S_OK : S_FALSE;
}

}  // extern "C"
