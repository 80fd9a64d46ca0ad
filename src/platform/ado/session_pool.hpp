// The process's pool of idle driver sessions, so that a connection opened again with the same
// full connection string reuses a login instead of making a new one.
//
// A pooling Connection hands its session to the pool when it closes and asks the pool first when
// it opens. A session is taken out only after a health check (a short statement on a server, the
// file's identity for SQLite): a session that fails it is closed and the next one tried, so that
// a dead pooled session costs a fresh login, never an error. Sessions idle for longer than
// kIdleLimit are closed; the pool closes them lazily, whenever it is used (the component has no
// threads of its own). At most kPerKey sessions are kept per key and kTotal in all; the oldest
// go first. Thread-safe.
//
// The keys are full connection strings, passwords included: the pool never shows or traces them,
// it reports counts only.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ado/connection.hpp"

namespace velmora::ado {

class SessionPool {
 public:
  static constexpr std::size_t kPerKey = 4;
  static constexpr std::size_t kTotal = 32;
  static constexpr std::chrono::seconds kIdleLimit{60};

  using Clock = std::chrono::steady_clock;

  // The pool of the process (closed when the process ends).
  static SessionPool& process();

  SessionPool() = default;
  ~SessionPool();
  SessionPool(const SessionPool&) = delete;
  SessionPool& operator=(const SessionPool&) = delete;

  // A healthy idle session of `key`, most recently returned first, or null.
  std::unique_ptr<Session> take(const std::string& key, Clock::time_point now = Clock::now());

  // Keeps `session` as an idle session of `key`.
  void give(const std::string& key, std::unique_ptr<Session> session,
            Clock::time_point now = Clock::now());

  // The number of idle sessions held.
  std::size_t size() const;

  // Closes every idle session.
  void clear();

 private:
  struct Idle {
    std::string key;
    std::unique_ptr<Session> session;
    Clock::time_point since;
  };

  // Moves the sessions idle for longer than kIdleLimit into `closing` (mutex held).
  void expire(Clock::time_point now, std::vector<Idle>& closing);

  mutable std::mutex mutex_;
  std::vector<Idle> idle_;  // in the order they were returned, oldest first
};

}  // namespace velmora::ado
