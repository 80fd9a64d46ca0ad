#include "platform/ado/session_pool.hpp"

#include <algorithm>

#include "platform/counters/counters.hpp"

namespace velmora::ado {

SessionPool& SessionPool::process() {
  // Destroyed at exit, before the ODBC and SQLite libraries themselves are unloaded.
  static SessionPool pool;
  return pool;
}

SessionPool::~SessionPool() {
  clear();
}

void SessionPool::expire(Clock::time_point now, std::vector<Idle>& closing) {
  auto stale = [&](const Idle& idle) { return now - idle.since > kIdleLimit; };
  for (Idle& idle : idle_) {
    if (stale(idle)) closing.push_back(std::move(idle));
  }
  idle_.erase(
      std::remove_if(idle_.begin(), idle_.end(), [](const Idle& idle) { return !idle.session; }),
      idle_.end());
}

std::unique_ptr<Session> SessionPool::take(const std::string& key, Clock::time_point now) {
  while (true) {
    std::unique_ptr<Session> candidate;
    {
      // Declared before the lock, so that expired sessions are closed after it is released:
      // closing one may wait for its server.
      std::vector<Idle> closing;
      std::lock_guard<std::mutex> lock(mutex_);
      expire(now, closing);
      for (auto it = idle_.rbegin(); it != idle_.rend(); ++it) {
        if (it->key != key) continue;
        candidate = std::move(it->session);
        idle_.erase(std::next(it).base());
        break;
      }
      if (!candidate) return nullptr;
    }
    counters::healthCheck();
    if (candidate->IsAlive()) return candidate;
    // A dead session is closed and the next one of the key tried.
  }
}

void SessionPool::give(const std::string& key, std::unique_ptr<Session> session,
                       Clock::time_point now) {
  if (!session) return;
  std::vector<Idle> closing;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    expire(now, closing);
    idle_.push_back(Idle{key, std::move(session), now});
    std::size_t ofKey = 0;
    for (const Idle& idle : idle_) ofKey += idle.key == key ? 1 : 0;
    if (ofKey > kPerKey) {
      const auto oldest = std::find_if(idle_.begin(), idle_.end(),
                                       [&](const Idle& idle) { return idle.key == key; });
      closing.push_back(std::move(*oldest));
      idle_.erase(oldest);
    }
    if (idle_.size() > kTotal) {
      closing.push_back(std::move(idle_.front()));
      idle_.erase(idle_.begin());
    }
  }
}

std::size_t SessionPool::size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return idle_.size();
}

void SessionPool::clear() {
  std::vector<Idle> closing;  // closed after the lock is released
  std::lock_guard<std::mutex> lock(mutex_);
  closing.swap(idle_);
}

}  // namespace velmora::ado
