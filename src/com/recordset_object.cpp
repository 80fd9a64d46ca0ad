#include "recordset_object.hpp"

#include <new>

#include "com_text.hpp"
#include "com_variant.hpp"
#include "dispatch_object.hpp"

namespace velmora::com {
namespace {

// One field of the record set, by position: its value is the current row's when it is read.
class FieldObject final : public DispatchObject<_Field> {
 public:
  FieldObject(std::shared_ptr<Recordset> recordset, int index)
      : DispatchObject(IID__Field, L"Velmora.Recordset"),
        recordset_(std::move(recordset)),
        index_(index) {}

  STDMETHODIMP get_Value(VARIANT* value) override {
    if (value == nullptr) return E_POINTER;
    VariantInit(value);
    return guard([&] { toVariant(recordset_->Fields(index_), value); });
  }
  STDMETHODIMP get_Name(BSTR* value) override {
    if (value == nullptr) return E_POINTER;
    return guard([&] { *value = toBstr(recordset_->FieldName(index_)); });
  }

 private:
  std::shared_ptr<Recordset> recordset_;
  int index_;
};

class FieldsObject final : public DispatchObject<_Fields> {
 public:
  explicit FieldsObject(std::shared_ptr<Recordset> recordset)
      : DispatchObject(IID__Fields, L"Velmora.Recordset"), recordset_(std::move(recordset)) {}

  // A name (compared without regard to case) or a position from 0; anything else is error 3265.
  STDMETHODIMP get_Item(VARIANT key, _Field** value) override {
    if (value == nullptr) return E_POINTER;
    *value = nullptr;
    return guard([&] {
      const Variant which = fromVariant(key);
      int index = -1;
      if (which.isText()) {
        index = recordset_->FindField(which.text());
        if (index < 0) raise(err::kItemNotFound, which.text());
      } else {
        const std::int64_t position = which.toInteger();
        if (position < 0 || position >= recordset_->FieldCount()) {
          raise(err::kItemNotFound, which.toText());
        }
        index = static_cast<int>(position);
      }
      *value = new FieldObject(recordset_, index);
    });
  }
  STDMETHODIMP get_Count(LONG* value) override {
    if (value == nullptr) return E_POINTER;
    return guard([&] { *value = recordset_->FieldCount(); });
  }

 private:
  std::shared_ptr<Recordset> recordset_;
};

class RecordsetObject final : public DispatchObject<_Recordset> {
 public:
  explicit RecordsetObject(std::shared_ptr<Recordset> recordset)
      : DispatchObject(IID__Recordset, L"Velmora.Recordset"), recordset_(std::move(recordset)) {}

  STDMETHODIMP get_EOF(VARIANT_BOOL* value) override {
    if (value == nullptr) return E_POINTER;
    return guard([&] { *value = recordset_->Eof() ? VARIANT_TRUE : VARIANT_FALSE; });
  }
  STDMETHODIMP get_Fields(_Fields** value) override {
    if (value == nullptr) return E_POINTER;
    *value = nullptr;
    return guard([&] { *value = new FieldsObject(recordset_); });
  }
  STDMETHODIMP MoveNext() override {
    return guard([&] { recordset_->MoveNext(); });
  }

 private:
  std::shared_ptr<Recordset> recordset_;
};

}  // namespace

IDispatch* wrapRecordset(std::shared_ptr<Recordset> recordset) {
  return new (std::nothrow) RecordsetObject(std::move(recordset));
}

}  // namespace velmora::com
