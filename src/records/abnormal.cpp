#include "velmora/abnormal.hpp"

namespace velmora {

// The destructor is the class's key function: its vtable and type information are emitted here,
// once, and exported the same way in every build.
Abnormal::~Abnormal() = default;

}  // namespace velmora
