#include "common/fields.hpp"

#include "velmora/error.hpp"

namespace velmora {
namespace {

// Runs `convert`, adding `what` to the description of a failing conversion.
template <class Convert>
auto naming(const std::string& what, Convert&& convert) {
  try {
    return convert();
  } catch (const AutomationError& e) {
    throw AutomationError(e.number(), e.description() + " (" + what + ")", e.kind());
  }
}

bool isMissing(const Variant& value) {
  return value.isNull() || value.isEmpty();
}

}  // namespace

std::string requiredText(const Variant& value, const std::string& what) {
  return naming(what, [&] { return value.toTextStrict(); });
}

double singleLimit(const Variant& limit, const std::string& what) {
  return naming(what, [&] { return limit.toSingle(); });
}

bool isBelowLimit(const Variant& value, const Variant& limit, const std::string& what) {
  if (isMissing(value) || isMissing(limit)) return false;
  return naming(what, [&] { return value.toDouble() < limit.toDouble(); });
}

}  // namespace velmora
