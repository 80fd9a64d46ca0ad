#include "velmora/object.hpp"
#include "velmora/context.hpp"
#include "velmora/outside.hpp"

namespace velmora {

// The destructors are the classes' key functions: their vtables and type information are
// emitted here, once, and exported the same way in every build.
Object::~Object() = default;
MesDatabase::~MesDatabase() = default;
TraceLog::~TraceLog() = default;
IniFile::~IniFile() = default;

std::shared_ptr<Context> Context::process() {
  // Created on first use and kept for the life of the process, like the module-wide slots of an
  // in-process component.
  static const std::shared_ptr<Context> context = std::make_shared<Context>();
  return context;
}

}  // namespace velmora
