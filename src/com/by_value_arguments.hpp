// Script clients pass a variable as a reference to a VARIANT (VT_BYREF | VT_VARIANT), which the
// type library's dispatcher will not turn into the typed reference (BSTR*) that our text
// arguments are declared with: `chk.LotID = lot` would fail with a type mismatch. None of our
// members changes an argument it is given by reference, so such an argument can be handed over as
// a copy of the value it refers to, which the dispatcher coerces as it does a literal.
#pragma once

#include <windows.h>  // before every other Windows header: they need its types

#include <oaidl.h>

#include <vector>

namespace velmora::com {

class ByValueArguments {
 public:
  explicit ByValueArguments(DISPPARAMS* parameters) : parameters_(parameters) {
    if (parameters == nullptr) return;
    bool anyReference = false;
    for (UINT i = 0; i < parameters->cArgs; ++i) {
      if (isVariableReference(parameters->rgvarg[i])) anyReference = true;
    }
    if (!anyReference) return;
    arguments_.assign(parameters->rgvarg, parameters->rgvarg + parameters->cArgs);
    owned_.assign(parameters->cArgs, false);
    for (UINT i = 0; i < parameters->cArgs; ++i) {
      if (!isVariableReference(arguments_[i])) continue;  // a shallow copy the caller owns
      VARIANT value;
      VariantInit(&value);
      if (SUCCEEDED(VariantCopy(&value, V_VARIANTREF(&arguments_[i])))) {
        arguments_[i] = value;
        owned_[i] = true;
      }
    }
    copy_ = *parameters;
    copy_.rgvarg = arguments_.data();
  }
  ~ByValueArguments() {
    for (std::size_t i = 0; i < arguments_.size(); ++i) {
      if (owned_[i]) VariantClear(&arguments_[i]);
    }
  }
  ByValueArguments(const ByValueArguments&) = delete;
  ByValueArguments& operator=(const ByValueArguments&) = delete;

  DISPPARAMS* get() { return arguments_.empty() ? parameters_ : &copy_; }

 private:
  // A reference to a variable holding a plain value (not itself a reference).
  static bool isVariableReference(const VARIANT& argument) {
    return V_VT(&argument) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(&argument) != nullptr &&
           (V_VT(V_VARIANTREF(&argument)) & VT_BYREF) == 0;
  }

  DISPPARAMS* parameters_;
  DISPPARAMS copy_{};
  std::vector<VARIANT> arguments_;
  std::vector<bool> owned_;
};

}  // namespace velmora::com
