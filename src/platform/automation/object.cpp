#include "velmora/object.hpp"
#include "velmora/context.hpp"

namespace velmora {

Object::~Object() = default;

std::shared_ptr<Context> Context::process() {
  // Created on first use and kept for the life of the process, like the module-wide slots of an
  // in-process component.
  static const std::shared_ptr<Context> context = std::make_shared<Context>();
  return context;
}

}  // namespace velmora
