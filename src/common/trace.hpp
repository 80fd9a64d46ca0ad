// Trace entries and the procedure convention.
//
// Every diagnostic of the component is one entry written to the context's trace object: the
// source ("Abnormals." and the procedure name), ": " and the text. Tracing never fails and never
// changes a result: without a trace object nothing is written; when the trace object cannot
// say its level, the entry is written at level 0; when writing fails, the entry is lost.
#pragma once

#include <cstdint>
#include <string>

#include "velmora/context.hpp"

namespace velmora {

// Writes source + ": " + text to the context's trace object at the level the trace object
// reports (0 when asking for it fails). `level` is the component's own level for the entry (always
// 5); it is not passed on.
void reportTrace(const Context& context, const std::string& text, const std::string& source,
                 std::int32_t level);

// The trace source of a procedure: "Abnormals." + name.
std::string traceSource(const std::string& procedure);

}  // namespace velmora
