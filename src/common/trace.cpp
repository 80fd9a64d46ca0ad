#include "common/trace.hpp"

namespace velmora {

void reportTrace(const Context& context, const std::string& text, const std::string& source,
                 std::int32_t /*level*/) {
  // Every failure of the trace object is dropped: a broken trace must not change a check run.
  const std::shared_ptr<TraceLog> trace = context.trace;
  if (!trace) return;
  std::int16_t traceLevel = 0;
  try {
    traceLevel = trace->TraceLevel();
  } catch (...) {
    // A trace that cannot say its level still gets the entry, at level 0.
  }
  try {
    std::string entry = source + ": " + text;
    trace->WriteTrace(traceLevel, entry);
  } catch (...) {
  }
}

std::string traceSource(const std::string& procedure) {
  return "Abnormals." + procedure;
}

}  // namespace velmora
