// Velmora.DataSet: the ordered set of distinct texts, as a COM class.
#include <new>

#include "classes.hpp"
#include "com_text.hpp"
#include "com_variant.hpp"
#include "dispatch_object.hpp"
#include "velmora/dataset.hpp"
#include "velmora_h.h"

namespace velmora::com {
namespace {

// A key handed by reference: the value it holds (a missing one is Empty).
Variant keyOf(const VARIANT* key) {
  if (key == nullptr) return Variant();
  return fromVariant(*key);
}

class DataSetObject final : public DispatchObject<_DataSet> {
 public:
  DataSetObject() : DispatchObject(IID__DataSet, L"Velmora.DataSet") {}

  STDMETHODIMP Add(BSTR* strData) override {
    return guard([&] { set_->Add(toUtf8(strData ? *strData : nullptr)); });
  }
  STDMETHODIMP Remove(VARIANT* key) override {
    return guard([&] { set_->Remove(keyOf(key)); });
  }
  STDMETHODIMP Count(short* value) override {
    if (value == nullptr) return E_POINTER;
    return guard([&] { *value = set_->Count(); });
  }
  STDMETHODIMP Item(VARIANT* key, BSTR* value) override {
    if (value == nullptr) return E_POINTER;
    return guard([&] { *value = toBstr(set_->Item(keyOf(key))); });
  }
  STDMETHODIMP Clear() override {
    return guard([&] { set_->Clear(); });
  }
  STDMETHODIMP GetAllValue(BSTR* value) override {
    if (value == nullptr) return E_POINTER;
    return guard([&] { *value = toBstr(set_->GetAllValue()); });
  }

  std::shared_ptr<Object> STDMETHODCALLTYPE native() override { return set_; }

 private:
  std::shared_ptr<DataSet> set_ = std::make_shared<DataSet>();
};

}  // namespace

IUnknown* newDataSet() {
  try {
    return static_cast<_DataSet*>(new DataSetObject());
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace velmora::com
