// The procedure convention of the check object's private procedures.
//
// A procedure writes its start entry "Executing...", runs its body, and on any failure writes
// the error entry "<number>:<description>" under the same source and returns its result as it
// stood when the failure happened. No failure leaves the procedure: a caller cannot tell a
// failed lookup from an empty one, except by the trace. Record sets that the body holds are
// released when the body unwinds.
#pragma once

#include <exception>
#include <string>
#include <utility>

#include "common/trace.hpp"
#include "velmora/error.hpp"

namespace velmora {

// The error entry text of a failure: "<number>:<description>".
std::string errorEntry(const std::exception_ptr& failure);

// Runs `body(result)` with `result` starting as `initial`, under the convention above.
template <class Result, class Body>
Result runProcedure(const Context& context, const std::string& name, Result initial, Body&& body) {
  const std::string source = traceSource(name);
  reportTrace(context, "Executing...", source, 5);
  Result result = std::move(initial);
  try {
    body(result);
  } catch (...) {
    reportTrace(context, errorEntry(std::current_exception()), source, 5);
  }
  return result;
}

}  // namespace velmora
