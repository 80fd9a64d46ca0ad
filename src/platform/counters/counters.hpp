// Counters of the database work of check runs, for the benchmarks and the tests.
//
// The counts are running totals over the whole process (all contexts and threads), starting at
// 0 when the library is loaded; a caller takes two snapshots and subtracts. They say how many
// statements the checks asked for, how many of those the per-run statement cache answered from
// memory, how many reached a database engine through the library's own drivers, and how many
// logins (driver sessions opened) the runs cost. Work done by a host's own MesDatabase object is
// counted among the statements asked for and answered from memory only. The places that do the
// work count it here.
#pragma once

#include <cstdint>

namespace velmora {

struct DatabaseCounters {
  // Statements the checks asked for: MES database calls (ExecuteQuery, SelectRecords) and
  // statements on the inspection connection, whether answered from memory or not.
  std::uint64_t statementsIssued = 0;
  // Of those, the ones the per-run statement cache answered from memory.
  std::uint64_t statementsFromCache = 0;
  // Statements the library's drivers (SQLite, ODBC) sent to a database engine, health checks of
  // pooled sessions not included.
  std::uint64_t statementsExecuted = 0;
  // Of those, the ones that cost the engine a parse: every statement sent as text, and a
  // statement value whose shape the session had not prepared yet (or had let go).
  std::uint64_t statementsPrepared = 0;
  // Driver sessions opened: MES database and inspection logins.
  std::uint64_t logins = 0;
  // Inspection connections served by a pooled session instead of a login.
  std::uint64_t pooledSessionsReused = 0;
  // Health checks of pooled sessions before reuse (one short statement on a server).
  std::uint64_t healthChecks = 0;
};

// A snapshot of the counters. Thread-safe.
DatabaseCounters databaseCounters();

}  // namespace velmora

namespace velmora::counters {

// Each adds 1 to its counter (relaxed atomics: the counts order nothing).
void statementIssued();
void statementFromCache();
void statementExecuted();
void statementPrepared();
void login();
void pooledSessionReused();
void healthCheck();

}  // namespace velmora::counters
