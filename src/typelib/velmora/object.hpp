// Object: the base of every object the MES client hands to the component.
//
// The check object takes outside objects through this base and asks each for the interface it
// needs (QueryInterface); an object may implement several interfaces. Lifetimes are shared:
// the caller and the component each hold a reference.
#pragma once

#include <memory>

#include "velmora/export.h"

namespace velmora {

class VELMORA_EXPORT Object {
 public:
  virtual ~Object();
};

// The interface `I` of `object`, or null when the object does not implement it.
template <class I>
std::shared_ptr<I> QueryInterface(const std::shared_ptr<Object>& object) {
  return std::dynamic_pointer_cast<I>(object);
}

}  // namespace velmora
