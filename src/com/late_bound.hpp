// Late-bound calls into objects the host hands in (its MES database, trace, record sets, and
// the configuration reader created by ProgID): names resolved at run time, arguments as
// VARIANTs. Script objects (VBScript classes) answer IDispatchEx::GetDispID where
// IDispatch::GetIDsOfNames is not implemented; both are tried.
#pragma once

#include <windows.h>  // before every other Windows header: they need its types

#include <oaidl.h>

#include <initializer_list>
#include <optional>
#include <string>

#include "com_variant.hpp"

namespace velmora::com {

// Holds one reference to a foreign IDispatch.
class LateBound {
 public:
  LateBound() = default;
  // Takes a new reference to `object` (which may be null).
  explicit LateBound(IDispatch* object);
  ~LateBound();
  LateBound(const LateBound& other);
  LateBound& operator=(const LateBound& other);

  IDispatch* get() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }

  // The DISPID of `name`, or nothing when the object has no such member.
  std::optional<DISPID> find(const wchar_t* name) const;

  // Calls member `name` (nullptr: the default member) with `flags`; `arguments` in the order a
  // caller writes them (references stay references, so a host may change them). Throws the
  // AutomationError the host's failure means. `result` may be null.
  void call(const wchar_t* name, WORD flags, std::initializer_list<VARIANT*> arguments,
            VARIANT* result) const;

  // A property get (or a method without arguments) whose result is returned.
  void get(const wchar_t* name, VARIANT* result) const;

  // The object in `value` (VT_DISPATCH, or a reference to one); error 91 for Nothing, 13 for
  // any other value.
  static LateBound objectIn(const VARIANT& value, const char* what);

 private:
  IDispatch* object_ = nullptr;
};

}  // namespace velmora::com
