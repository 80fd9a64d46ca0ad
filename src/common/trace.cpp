#include "common/trace.hpp"

#include "velmora/error.hpp"

namespace velmora {

void reportTrace(const Context& context, const std::string& text, const std::string& source,
                 std::int32_t /*level*/) {
  // Every failure of the trace object is dropped: a broken trace must not change a check run.
  try {
    const std::shared_ptr<TraceLog> trace = context.trace;
    if (!trace) return;
    std::int16_t traceLevel = trace->TraceLevel();
    std::string entry = source + ": " + text;
    trace->WriteTrace(traceLevel, entry);
  } catch (...) {
  }
}

std::string traceSource(const std::string& procedure) {
  return "Abnormals." + procedure;
}

MesDatabase& mesDatabase(const Context& context) {
  if (!context.mesdb) raise(err::kObjectNotSet, "no MES database object (MESDB)");
  return *context.mesdb;
}

}  // namespace velmora
