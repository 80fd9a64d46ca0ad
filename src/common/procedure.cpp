#include "common/procedure.hpp"

#include <new>

namespace velmora {

std::string errorEntry(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const AutomationError& e) {
    return std::to_string(e.number()) + ":" + e.description();
  } catch (const std::bad_alloc&) {
    return "7:Out of memory";
  } catch (const std::exception& e) {
    // Anything that is not an automation error is an unexpected internal failure.
    return std::to_string(err::kGenericFailure) + ":" + e.what();
  } catch (...) {
    return std::to_string(err::kGenericFailure) + ":unknown failure";
  }
}

bool endsRun(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const AutomationError& e) {
    return endsCheckRun(e);
  } catch (...) {
    return true;
  }
}

}  // namespace velmora
