// Velmora.Abnormals: the check object as a COM class. Every check object of the process shares
// the process context (the MES database and trace slots), as the MES client expects; the
// context's configuration reader is created for each run by ProgID, and its settings (timeouts,
// statement cache, providers) are read from the configured home before each run, so that a
// changed configuration file applies to the next check.
#include <mutex>
#include <new>

#include "abnormal_object.hpp"
#include "classes.hpp"
#include "client/config.hpp"
#include "com_text.hpp"
#include "com_variant.hpp"
#include "dispatch_object.hpp"
#include "host_objects.hpp"
#include "settings.hpp"
#include "velmora/abnormals.hpp"
#include "velmora_h.h"

namespace velmora::com {
namespace {

// On Windows every machine has Microsoft's own SQL Server ODBC driver; the inspection database
// uses it unless the configuration maps the provider elsewhere.
constexpr const char* kInspectionProvider = "SQLOLEDB.1";
constexpr const char* kWindowsSqlServer = "odbc:Driver={SQL Server}";

std::shared_ptr<IniFile> createIniFile() {
  const std::wstring progId = iniFileProgId();
  CLSID clsid{};
  if (FAILED(CLSIDFromProgID(progId.c_str(), &clsid))) {
    raise(err::kCannotCreate, toUtf8(progId));
  }
  IDispatch* object = nullptr;
  const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                      IID_IDispatch, reinterpret_cast<void**>(&object));
  if (FAILED(hr) || object == nullptr) raise(err::kCannotCreate, toUtf8(progId));
  try {
    std::shared_ptr<IniFile> ini = iniFileFrom(object);
    object->Release();
    return ini;
  } catch (...) {
    object->Release();
    throw;
  }
}

// The process context, with the configuration reader's factory set once.
std::shared_ptr<Context> processContext() {
  static std::once_flag configured;
  std::shared_ptr<Context> context = Context::process();
  std::call_once(configured, [&] { context->iniFactory = createIniFile; });
  return context;
}

// The settings of the configured home for the next run; defaults where there is no home or its
// file cannot be read (the run's own configuration reader then reports the file).
void applySettings(Context& context) {
  ClientConfig settings;
  if (const std::string home = configuredHome(); !home.empty()) {
    try {
      settings = client::readClientSettings(home, false);
    } catch (const AutomationError&) {
      settings = ClientConfig{};
    }
  }
  if (settings.providers.find(kInspectionProvider) == settings.providers.end()) {
    settings.providers[kInspectionProvider] = kWindowsSqlServer;
  }
  context.providers = settings.providers;
  context.timeouts = settings.timeouts;
  context.statementCacheMiB = settings.statementCacheMiB;
}

#define VELMORA_CHECK_FLAG(Name)                           \
  STDMETHODIMP get_##Name(BSTR* value) override {          \
    if (value == nullptr) return E_POINTER;                \
    return guard([&] { *value = toBstr(check_.Name()); }); \
  }

#define VELMORA_CHECK_TEXT(Name, argument)                                      \
  STDMETHODIMP put_##Name(BSTR* argument) override {                            \
    return guard([&] { check_.Name(toUtf8(argument ? *argument : nullptr)); }); \
  }                                                                             \
  VELMORA_CHECK_FLAG(Name)

class AbnormalsObject final : public DispatchObject<_Abnormals> {
 public:
  AbnormalsObject()
      : DispatchObject(IID__Abnormals, L"Velmora.Abnormals"),
        context_(processContext()),
        check_(context_) {}

  VELMORA_CHECK_FLAG(IsEDCItem)
  VELMORA_CHECK_FLAG(IsEDCCollect)
  VELMORA_CHECK_FLAG(IsEDCFail)
  VELMORA_CHECK_FLAG(IsAUGItem)
  VELMORA_CHECK_FLAG(IsAUGCollect)
  VELMORA_CHECK_FLAG(IsAUGFail)
  VELMORA_CHECK_FLAG(LotDevReasons)

  STDMETHODIMP putref_MESDB(IDispatch* objMesdb) override {
    return guard([&] { check_.MESDB(mesDatabaseFrom(objMesdb)); });
  }
  STDMETHODIMP putref_LogTrace(IDispatch* objTrace) override {
    return guard([&] { check_.LogTrace(traceLogFrom(objTrace)); });
  }

  VELMORA_CHECK_TEXT(LotID, strLotId)
  VELMORA_CHECK_TEXT(StepID, strStepId)
  VELMORA_CHECK_TEXT(TimeVersionSysid, strTimeVersionSysid)
  VELMORA_CHECK_TEXT(DateTime, strDateTime)

  STDMETHODIMP Count(short* value) override {
    if (value == nullptr) return E_POINTER;
    return guard([&] { *value = check_.Count(); });
  }

  STDMETHODIMP Item(VARIANT* key, _Abnormal** value) override {
    if (value == nullptr) return E_POINTER;
    *value = nullptr;
    return guard([&] {
      std::shared_ptr<Abnormal> record =
          check_.Item(key == nullptr ? Variant() : fromVariant(*key));
      if (!record) return;
      *value = wrapAbnormal(std::move(record));
      if (*value == nullptr) throw std::bad_alloc();
    });
  }

  STDMETHODIMP preExecute(BSTR* value) override {
    if (value == nullptr) return E_POINTER;
    return guard([&] { *value = toBstr(check_.preExecute()); });
  }

  // Never fails towards the caller: the run reports its own failures in its result and trace.
  STDMETHODIMP Execute(BSTR* value) override {
    if (value == nullptr) return E_POINTER;
    std::string result;
    try {
      applySettings(*context_);
      result = check_.Execute();
    } catch (...) {
      result = "";
    }
    try {
      *value = toBstr(result);
    } catch (const std::bad_alloc&) {
      *value = nullptr;  // an empty BSTR is a null one
    }
    return S_OK;
  }

 private:
  std::shared_ptr<Context> context_;
  Abnormals check_;
};

#undef VELMORA_CHECK_TEXT
#undef VELMORA_CHECK_FLAG

}  // namespace

IUnknown* newAbnormals() {
  try {
    return static_cast<_Abnormals*>(new AbnormalsObject());
  } catch (...) {
    return nullptr;
  }
}

}  // namespace velmora::com
