#include "abnormal_object.hpp"

#include <new>

#include "classes.hpp"
#include "com_text.hpp"
#include "dispatch_object.hpp"

namespace velmora::com {
namespace {

// Each property stores a copy of the text it is given and returns a copy of what it holds.
#define VELMORA_RECORD_TEXT(Name)                                           \
  STDMETHODIMP put_##Name(BSTR* value) override {                           \
    return guard([&] { record_->Name(toUtf8(value ? *value : nullptr)); }); \
  }                                                                         \
  STDMETHODIMP get_##Name(BSTR* value) override {                           \
    if (value == nullptr) return E_POINTER;                                 \
    return guard([&] { *value = toBstr(record_->Name()); });                \
  }

class AbnormalObject final : public DispatchObject<_Abnormal> {
 public:
  explicit AbnormalObject(std::shared_ptr<Abnormal> record)
      : DispatchObject(IID__Abnormal, L"Velmora.Abnormal"), record_(std::move(record)) {}

  VELMORA_RECORD_TEXT(ItemName)
  VELMORA_RECORD_TEXT(CollectType)
  VELMORA_RECORD_TEXT(WaferID)
  VELMORA_RECORD_TEXT(WaferSEQ)
  VELMORA_RECORD_TEXT(EQPID)
  VELMORA_RECORD_TEXT(TA)
  VELMORA_RECORD_TEXT(WaferYield)
  VELMORA_RECORD_TEXT(LotYield)
  VELMORA_RECORD_TEXT(Reasons)

  std::shared_ptr<Object> STDMETHODCALLTYPE native() override { return record_; }

 private:
  std::shared_ptr<Abnormal> record_;
};

#undef VELMORA_RECORD_TEXT

}  // namespace

_Abnormal* wrapAbnormal(std::shared_ptr<Abnormal> record) {
  return new (std::nothrow) AbnormalObject(std::move(record));
}

IUnknown* newAbnormal() {
  try {
    return wrapAbnormal(std::make_shared<Abnormal>());
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace velmora::com
