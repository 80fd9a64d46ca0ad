// The common part of every class this server exposes: reference counting, IDispatch through the
// type library (so the members, their DISPIDs and argument coercion are exactly what the type
// library declares), ISupportErrorInfo, and the private Native interface.
#pragma once

#include <windows.h>  // before every other Windows header: they need its types

#include <oaidl.h>

#include <memory>

#include "by_value_arguments.hpp"
#include "com_error.hpp"
#include "module.hpp"
#include "native.hpp"

namespace velmora::com {

template <class Interface>
class DispatchObject : public Interface, public ISupportErrorInfo, public Native {
 public:
  // `iid`: the dual interface; `source`: the ProgID shown as Err.Source.
  DispatchObject(REFIID iid, const wchar_t* source) : iid_(iid), source_(source) {
    objectCreated();
  }
  virtual ~DispatchObject() { objectDestroyed(); }
  DispatchObject(const DispatchObject&) = delete;
  DispatchObject& operator=(const DispatchObject&) = delete;

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == iid_) {
      *out = static_cast<Interface*>(this);
    } else if (riid == IID_ISupportErrorInfo) {
      *out = static_cast<ISupportErrorInfo*>(this);
    } else if (riid == kIidNative) {
      *out = static_cast<Native*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references_); }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // ISupportErrorInfo
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID riid) override {
    return riid == iid_ ? S_OK : S_FALSE;
  }

  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return typeInfo(iid_, out);
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    ITypeInfo* info = nullptr;
    HRESULT hr = typeInfo(iid_, &info);
    if (FAILED(hr)) return hr;
    hr = DispGetIDsOfNames(info, names, count, ids);
    info->Release();
    return hr;
  }
  STDMETHODIMP Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                      VARIANT* result, EXCEPINFO* exception, UINT* badArgument) override {
    ITypeInfo* info = nullptr;
    HRESULT hr = typeInfo(iid_, &info);
    if (FAILED(hr)) return hr;
    SetErrorInfo(0, nullptr);
    ByValueArguments byValue(parameters);
    hr = info->Invoke(static_cast<Interface*>(this), member, flags, byValue.get(), result,
                      exception, badArgument);
    info->Release();
    return hr;
  }

  // Native
  std::shared_ptr<Object> STDMETHODCALLTYPE native() override { return nullptr; }

 protected:
  // Runs `body`, reporting what it throws as this class's automation error.
  template <class Body>
  HRESULT guard(Body&& body) noexcept {
    return guarded(source_, iid_, body);
  }

 private:
  LONG references_ = 1;
  const IID iid_;
  const wchar_t* const source_;
};

}  // namespace velmora::com
