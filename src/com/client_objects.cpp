// The client objects the server ships for a host that has none of its own: Velmora.MesDatabase
// (an SQLite file or an ODBC connection), Velmora.TraceLog (a trace file) and Velmora.IniFile
// (the configuration file reader each check run creates). Handed to a check object they are
// used directly, not through automation.
#include <new>

#include "classes.hpp"
#include "client/config.hpp"
#include "com_text.hpp"
#include "dispatch_object.hpp"
#include "recordset_object.hpp"
#include "settings.hpp"
#include "velmora/client.hpp"
#include "velmora_h.h"

namespace velmora::com {
namespace {

// A record set for the caller: an IDispatch (Nothing for a null one).
IDispatch* recordsetFor(std::shared_ptr<Recordset> recordset) {
  if (!recordset) return nullptr;
  IDispatch* object = wrapRecordset(std::move(recordset));
  if (object == nullptr) throw std::bad_alloc();
  return object;
}

// The timeouts of `home`'s configuration (defaults when it cannot be read).
DatabaseTimeouts timeoutsOf(const std::string& home) {
  if (home.empty()) return {};
  try {
    return client::readClientSettings(home, false).timeouts;
  } catch (const AutomationError&) {
    return {};
  }
}

class MesDatabaseObject final : public DispatchObject<_MesDatabase> {
 public:
  MesDatabaseObject() : DispatchObject(IID__MesDatabase, L"Velmora.MesDatabase") {}

  STDMETHODIMP Open(BSTR uri) override {
    return guard([&] {
      const std::string home = configuredHome();
      database_ = openMesDatabase(toUtf8(uri), home, timeoutsOf(home));
    });
  }
  STDMETHODIMP OpenHome(BSTR home) override {
    return guard([&] {
      const ClientConfig config = loadClientConfig(toUtf8(home));
      database_ = openMesDatabase(config.mesConnection, config.home, config.timeouts);
    });
  }
  STDMETHODIMP ExecuteQuery(BSTR sql, IDispatch** value) override {
    if (value == nullptr) return E_POINTER;
    *value = nullptr;
    return guard([&] { *value = recordsetFor(opened().ExecuteQuery(toUtf8(sql))); });
  }
  STDMETHODIMP SelectRecords(BSTR tables, BSTR columns, BSTR condition, BSTR extra,
                             IDispatch** value) override {
    if (value == nullptr) return E_POINTER;
    *value = nullptr;
    return guard([&] {
      *value = recordsetFor(opened().SelectRecords(toUtf8(tables), toUtf8(columns),
                                                   toUtf8(condition), toUtf8(extra)));
    });
  }

  std::shared_ptr<Object> STDMETHODCALLTYPE native() override { return database_; }

 private:
  MesDatabase& opened() {
    if (!database_) raise(err::kObjectNotSet, "the MES database is not open (call Open first)");
    return *database_;
  }

  std::shared_ptr<MesDatabase> database_;
};

class TraceLogObject final : public DispatchObject<_TraceLog> {
 public:
  TraceLogObject() : DispatchObject(IID__TraceLog, L"Velmora.TraceLog") {}

  STDMETHODIMP Open(BSTR path, short level) override {
    return guard([&] { trace_ = std::make_shared<StreamTraceLog>(toUtf8(path), level); });
  }
  STDMETHODIMP TraceLevel(short* value) override {
    if (value == nullptr) return E_POINTER;
    return guard([&] { *value = opened().TraceLevel(); });
  }
  STDMETHODIMP WriteTrace(short* level, BSTR* text) override {
    return guard([&] {
      std::int16_t number = level == nullptr ? 0 : *level;
      std::string entry = toUtf8(text == nullptr ? nullptr : *text);
      opened().WriteTrace(number, entry);
    });
  }

  std::shared_ptr<Object> STDMETHODCALLTYPE native() override { return trace_; }

 private:
  StreamTraceLog& opened() {
    if (!trace_) raise(err::kObjectNotSet, "the trace is not open (call Open first)");
    return *trace_;
  }

  std::shared_ptr<StreamTraceLog> trace_;
};

class IniFileObject final : public DispatchObject<_IniFile> {
 public:
  IniFileObject()
      : DispatchObject(IID__IniFile, L"Velmora.IniFile"),
        ini_(std::make_shared<FileIniFile>(configuredHome())) {}

  STDMETHODIMP PathHead(BSTR* value) override {
    if (value == nullptr) return E_POINTER;
    return guard([&] { *value = toBstr(ini_->PathHead()); });
  }
  STDMETHODIMP PathTail(BSTR* value) override {
    if (value == nullptr) return E_POINTER;
    return guard([&] { *value = toBstr(ini_->PathTail()); });
  }
  STDMETHODIMP OpenFile(BSTR path) override {
    return guard([&] { ini_->OpenFile(toUtf8(path)); });
  }
  STDMETHODIMP ReadValue(BSTR* section, BSTR* key, BSTR* value) override {
    if (value == nullptr) return E_POINTER;
    return guard([&] {
      std::string sectionText = toUtf8(section == nullptr ? nullptr : *section);
      std::string keyText = toUtf8(key == nullptr ? nullptr : *key);
      *value = toBstr(ini_->ReadValue(sectionText, keyText));
    });
  }
  STDMETHODIMP get_Home(BSTR* value) override {
    if (value == nullptr) return E_POINTER;
    return guard([&] { *value = toBstr(ini_->PathHead()); });
  }
  // A new home starts a new reader: what the old one read is dropped.
  STDMETHODIMP put_Home(BSTR value) override {
    return guard([&] { ini_ = std::make_shared<FileIniFile>(toUtf8(value)); });
  }

  std::shared_ptr<Object> STDMETHODCALLTYPE native() override { return ini_; }

 private:
  std::shared_ptr<FileIniFile> ini_;
};

template <class Interface, class Class>
IUnknown* make() {
  try {
    return static_cast<Interface*>(new Class());
  } catch (...) {
    return nullptr;
  }
}

}  // namespace

IUnknown* newMesDatabase() {
  return make<_MesDatabase, MesDatabaseObject>();
}
IUnknown* newTraceLog() {
  return make<_TraceLog, TraceLogObject>();
}
IUnknown* newIniFile() {
  return make<_IniFile, IniFileObject>();
}

}  // namespace velmora::com
