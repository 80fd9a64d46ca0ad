#include "common/procedure.hpp"

#include <new>
#include <string_view>

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

RunFailure runFailure(const std::string& procedure, const std::exception_ptr& failure) {
  RunFailure value;
  value.procedure = procedure;
  value.kind = "no-answer";
  try {
    std::rethrow_exception(failure);
  } catch (const AutomationError& e) {
    value.number = e.number();
    value.description = e.description();
  } catch (const std::bad_alloc&) {
    value.number = 7;
    value.description = "Out of memory";
  } catch (const std::exception& e) {
    value.number = err::kGenericFailure;
    value.description = e.what();
    value.kind = "unexpected";
  } catch (...) {
    value.number = err::kGenericFailure;
    value.description = "unknown failure";
    value.kind = "unexpected";
  }
  // The drivers end a failed statement's description with " (statement: <sql>)" (with
  // "; as run: <sql>" inside when they rewrote it); that part is the statement.
  constexpr std::string_view kMarker = " (statement: ";
  const std::size_t at = value.description.find(kMarker);
  if (at != std::string::npos && value.description.back() == ')') {
    value.statement = value.description.substr(at + kMarker.size(),
                                               value.description.size() - at - kMarker.size() - 1);
    value.description.erase(at);
  }
  return value;
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
