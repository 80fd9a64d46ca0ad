// Velmora.Abnormal: a finding record, either made by a client (CreateObject) or one of a check
// object's records handed out by Item.
#pragma once

#include <memory>

#include "velmora/abnormal.hpp"
#include "velmora_h.h"

namespace velmora::com {

// A new COM object over `record` (one reference), or null when there is no memory.
_Abnormal* wrapAbnormal(std::shared_ptr<Abnormal> record);

}  // namespace velmora::com
