// The process-wide database counters behind velmora/counters.hpp: the places that do the work
// count it here.
#pragma once

#include "velmora/counters.hpp"

namespace velmora::counters {

// Each adds 1 to its counter (relaxed atomics: the counts order nothing).
void statementIssued();
void statementFromCache();
void statementExecuted();
void login();
void pooledSessionReused();
void healthCheck();

}  // namespace velmora::counters
