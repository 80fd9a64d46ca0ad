#include "late_bound.hpp"

#include <dispex.h>

#include <vector>

#include "com_error.hpp"
#include "com_text.hpp"

namespace velmora::com {
namespace {

// mingw-w64's import libraries lack IID_IDispatchEx.
const IID kIidDispatchEx = {
    0xa6ef9860, 0xc720, 0x11d0, {0x93, 0x37, 0x00, 0xa0, 0xc9, 0x0d, 0xca, 0xa9}};

struct ExcepInfo {
  EXCEPINFO info{};
  ~ExcepInfo() {
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
  }
};

}  // namespace

LateBound::LateBound(IDispatch* object) : object_(object) {
  if (object_ != nullptr) object_->AddRef();
}

LateBound::~LateBound() {
  if (object_ != nullptr) object_->Release();
}

LateBound::LateBound(const LateBound& other) : LateBound(other.object_) {}

LateBound& LateBound::operator=(const LateBound& other) {
  if (this != &other) {
    if (other.object_ != nullptr) other.object_->AddRef();
    if (object_ != nullptr) object_->Release();
    object_ = other.object_;
  }
  return *this;
}

std::optional<DISPID> LateBound::find(const wchar_t* name) const {
  if (object_ == nullptr) return std::nullopt;
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  if (SUCCEEDED(object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return id;
  IDispatchEx* extended = nullptr;
  if (FAILED(object_->QueryInterface(kIidDispatchEx, reinterpret_cast<void**>(&extended)))) {
    return std::nullopt;
  }
  BSTR text = SysAllocString(name);
  const HRESULT found = extended->GetDispID(text, fdexNameCaseInsensitive, &id);
  SysFreeString(text);
  extended->Release();
  if (FAILED(found)) return std::nullopt;
  return id;
}

void LateBound::call(const wchar_t* name, WORD flags, std::initializer_list<VARIANT*> arguments,
                     VARIANT* result) const {
  const std::string member = name == nullptr ? "(default member)" : toUtf8(std::wstring(name));
  if (object_ == nullptr) raise(err::kObjectNotSet, member);
  DISPID id = DISPID_VALUE;
  if (name != nullptr) {
    const std::optional<DISPID> found = find(name);
    if (!found) {
      EXCEPINFO none{};
      throw hostFailure(DISP_E_UNKNOWNNAME, none, member);
    }
    id = *found;
  }
  // DISPPARAMS lists the arguments from the last to the first; the VARIANTs are shallow copies
  // of the caller's, which keeps ownership of what they point to.
  std::vector<VARIANT> reversed;
  reversed.reserve(arguments.size());
  for (auto it = arguments.end(); it != arguments.begin();) reversed.push_back(**--it);
  DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  ExcepInfo exception;
  UINT badArgument = 0;
  const HRESULT hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result,
                                     &exception.info, &badArgument);
  if (FAILED(hr)) throw hostFailure(hr, exception.info, member);
}

void LateBound::get(const wchar_t* name, VARIANT* result) const {
  call(name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, {}, result);
}

LateBound LateBound::objectIn(const VARIANT& value, const char* what) {
  const VARIANT* inner = &value;
  if (V_VT(inner) == (VT_BYREF | VT_VARIANT)) inner = V_VARIANTREF(inner);
  IDispatch* object = nullptr;
  if (V_VT(inner) == VT_DISPATCH) {
    object = V_DISPATCH(inner);
  } else if (V_VT(inner) == (VT_BYREF | VT_DISPATCH)) {
    object = *V_DISPATCHREF(inner);
  } else if (V_VT(inner) == VT_EMPTY) {
    raise(err::kObjectNotSet, what);
  } else {
    raise(err::kTypeMismatch, std::string(what) + " is not an object");
  }
  if (object == nullptr) raise(err::kObjectNotSet, what);
  return LateBound(object);
}

}  // namespace velmora::com
