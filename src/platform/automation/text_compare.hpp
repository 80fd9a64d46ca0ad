// Comparison of texts without regard to ASCII letter case, as automation compares collection
// keys and ADO compares field names. Other characters (UTF-8 bytes included) compare exactly.
#pragma once

#include <string_view>

namespace velmora {

bool equalsIgnoreCase(std::string_view a, std::string_view b);

// Negative, zero or positive as `a` orders before, with or after `b`, ignoring ASCII case.
int compareIgnoreCase(std::string_view a, std::string_view b);

}  // namespace velmora
