// The procedure convention of the check object's private procedures.
//
// A procedure writes its start entry "Executing...", runs its body, and on a failure writes the
// error entry "<number>:<description>" under the same source. What happens next depends on the
// failure (endsCheckRun in velmora/error.hpp):
//   - data that answered unfit (no current record, a Null, a division by zero, ...): the
//     procedure returns its result as it stood when the failure happened, and the run goes on;
//     a caller cannot tell a failed lookup from an empty one, except by the trace;
//   - a database that could not answer: the procedure throws RunEnded, which every enclosing
//     procedure passes on without an entry of its own, and the run ends with the result "". The
//     one error entry names the innermost procedure, where the failure happened; RunEnded
//     carries the same failure as a value (RunFailure), for the hosts that report it.
// Record sets that the body holds are released when the body unwinds.
#pragma once

#include <exception>
#include <string>
#include <utility>

#include "common/trace.hpp"
#include "velmora/error.hpp"
#include "velmora/run_failure.hpp"

namespace velmora {

// A failure that ends the check run, already traced by the procedure where it happened.
class RunEnded : public std::exception {
 public:
  explicit RunEnded(RunFailure failure) : failure_(std::move(failure)) {}
  const char* what() const noexcept override { return "the check run ended (see the trace)"; }
  const RunFailure& failure() const { return failure_; }

 private:
  RunFailure failure_;
};

// Which failures a procedure traps and goes on after.
enum class Traps {
  kUnfitData,   // only data that answered unfit; anything else ends the run
  kEverything,  // every failure (opening the inspection connection: its caller answers SqlFail)
};

// The error entry text of a failure: "<number>:<description>".
std::string errorEntry(const std::exception_ptr& failure);

// `failure` in `procedure` as a value: number and description as errorEntry gives them, the
// statement that drivers append to a description as " (statement: ...)" taken out of it, and
// the kind: "unexpected" for a failure that is no AutomationError, else "no-answer".
RunFailure runFailure(const std::string& procedure, const std::exception_ptr& failure);

// Whether `failure` ends the check run: an AutomationError as endsCheckRun says; running out of
// memory and any failure that is no AutomationError (an unexpected one) always.
bool endsRun(const std::exception_ptr& failure);

// Runs `body(result)` with `result` starting as `initial`, under the convention above. With
// Traps::kEverything, `trapped` (when not null) receives the failure the procedure went on after.
template <class Result, class Body>
Result runProcedure(const Context& context, const std::string& name, Result initial, Body&& body,
                    Traps traps = Traps::kUnfitData, RunFailure* trapped = nullptr) {
  const std::string source = traceSource(name);
  reportTrace(context, "Executing...", source, 5);
  Result result = std::move(initial);
  try {
    body(result);
  } catch (const RunEnded&) {
    throw;
  } catch (...) {
    const std::exception_ptr failure = std::current_exception();
    reportTrace(context, errorEntry(failure), source, 5);
    if (traps == Traps::kUnfitData) {
      if (endsRun(failure)) throw RunEnded(runFailure(name, failure));
    } else if (trapped != nullptr) {
      *trapped = runFailure(name, failure);
    }
  }
  return result;
}

}  // namespace velmora
