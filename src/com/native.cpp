#include "native.hpp"

namespace velmora::com {

std::shared_ptr<Object> nativeOf(IUnknown* object) {
  if (object == nullptr) return nullptr;
  Native* native = nullptr;
  if (FAILED(object->QueryInterface(kIidNative, reinterpret_cast<void**>(&native)))) {
    return nullptr;
  }
  std::shared_ptr<Object> result = native->native();
  native->Release();
  return result;
}

}  // namespace velmora::com
