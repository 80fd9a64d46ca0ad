#include "platform/counters/counters.hpp"

#include <atomic>

namespace velmora {
namespace {

struct Totals {
  std::atomic<std::uint64_t> statementsIssued{0};
  std::atomic<std::uint64_t> statementsFromCache{0};
  std::atomic<std::uint64_t> statementsExecuted{0};
  std::atomic<std::uint64_t> statementsPrepared{0};
  std::atomic<std::uint64_t> logins{0};
  std::atomic<std::uint64_t> pooledSessionsReused{0};
  std::atomic<std::uint64_t> healthChecks{0};
};

// Constant-initialized, so counting works during static initialization and destruction too.
constinit Totals totals;

void bump(std::atomic<std::uint64_t>& counter) {
  counter.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

namespace counters {

void statementIssued() {
  bump(totals.statementsIssued);
}
void statementFromCache() {
  bump(totals.statementsFromCache);
}
void statementExecuted() {
  bump(totals.statementsExecuted);
}
void statementPrepared() {
  bump(totals.statementsPrepared);
}
void login() {
  bump(totals.logins);
}
void pooledSessionReused() {
  bump(totals.pooledSessionsReused);
}
void healthCheck() {
  bump(totals.healthChecks);
}

}  // namespace counters

DatabaseCounters databaseCounters() {
  DatabaseCounters out;
  out.statementsIssued = totals.statementsIssued.load(std::memory_order_relaxed);
  out.statementsFromCache = totals.statementsFromCache.load(std::memory_order_relaxed);
  out.statementsExecuted = totals.statementsExecuted.load(std::memory_order_relaxed);
  out.statementsPrepared = totals.statementsPrepared.load(std::memory_order_relaxed);
  out.logins = totals.logins.load(std::memory_order_relaxed);
  out.pooledSessionsReused = totals.pooledSessionsReused.load(std::memory_order_relaxed);
  out.healthChecks = totals.healthChecks.load(std::memory_order_relaxed);
  return out;
}

}  // namespace velmora
