#include "cli/batch_runner.hpp"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace velmora::cli {

std::size_t runInOrder(std::size_t count, std::size_t workers, const RunCallbacks& callbacks,
                       const std::atomic<bool>& stop) {
  std::mutex mutex;
  std::condition_variable ready;
  std::vector<std::optional<LotOutcome>> outcomes(count);
  std::size_t next = 0;        // the next lot to start (under `mutex`)
  std::size_t running = 0;     // workers still running (under `mutex`)
  bool abandoned = false;      // deliver said false: start nothing more (under `mutex`)
  std::exception_ptr failure;  // a worker's unexpected failure, raised on the calling thread

  const auto work = [&](std::size_t worker) {
    while (true) {
      std::size_t index;
      {
        std::lock_guard<std::mutex> lock(mutex);
        if (next >= count || abandoned || failure || stop.load()) break;
        index = next++;
      }
      std::optional<LotOutcome> outcome;
      try {
        outcome = callbacks.check(worker, index);
      } catch (...) {
        std::lock_guard<std::mutex> lock(mutex);
        if (!failure) failure = std::current_exception();
        break;
      }
      std::lock_guard<std::mutex> lock(mutex);
      outcomes[index] = std::move(outcome);
      ready.notify_all();
    }
    std::lock_guard<std::mutex> lock(mutex);
    --running;
    ready.notify_all();
  };

  std::vector<std::thread> threads;
  running = workers;
  for (std::size_t w = 0; w < workers; ++w) threads.emplace_back(work, w);

  std::size_t delivered = 0;
  std::unique_lock<std::mutex> lock(mutex);
  while (delivered < count) {
    if (outcomes[delivered]) {
      LotOutcome outcome = std::move(*outcomes[delivered]);
      outcomes[delivered].reset();
      lock.unlock();
      const bool goOn = callbacks.deliver(delivered, std::move(outcome));
      callbacks.tick();
      lock.lock();
      ++delivered;
      if (!goOn) {
        abandoned = true;
        break;
      }
      continue;
    }
    // Nothing more will come when every worker has stopped.
    if (running == 0) break;
    ready.wait_for(lock, callbacks.tickEvery);
    lock.unlock();
    callbacks.tick();
    lock.lock();
  }
  lock.unlock();
  for (std::thread& thread : threads) thread.join();
  if (failure) std::rethrow_exception(failure);
  return delivered;
}

}  // namespace velmora::cli
