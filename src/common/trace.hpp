// Trace entries and the procedure convention.
//
// Every diagnostic of the component is one entry written to the context's trace object: the
// source ("Abnormals." and the procedure name), ": " and the text. Tracing never fails and never
// changes a result: without a trace object, or when it fails, nothing is written.
#pragma once

#include <cstdint>
#include <string>

#include "velmora/context.hpp"

namespace velmora {

// Writes source + ": " + text to the context's trace object at the level the trace object
// reports. `level` is the component's own level for the entry (always 5); it is not passed on.
void reportTrace(const Context& context, const std::string& text, const std::string& source,
                 std::int32_t level);

// The trace source of a procedure: "Abnormals." + name.
std::string traceSource(const std::string& procedure);

// The MES database of the context; error 91 when the slot is empty.
MesDatabase& mesDatabase(const Context& context);

}  // namespace velmora
