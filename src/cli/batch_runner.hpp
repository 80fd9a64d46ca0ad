// Runs the lots of a batch on worker threads and hands the outcomes back in input order.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>

#include "cli/batch_worker.hpp"

namespace velmora::cli {

struct RunCallbacks {
  // Checks lot `index` on worker `worker` (called on that worker's thread).
  std::function<LotOutcome(std::size_t worker, std::size_t index)> check;
  // Receives each outcome on the calling thread, in input order; false stops the batch.
  std::function<bool(std::size_t index, LotOutcome&& outcome)> deliver;
  // Called on the calling thread after each delivery and at least every `tickEvery` while the
  // batch runs.
  std::function<void()> tick;
  std::chrono::milliseconds tickEvery{250};
};

// Runs lots 0 to `count` - 1 on `workers` threads. Each worker takes the next lot not yet taken,
// so the lots started always form a prefix of the input. Once `stop` is set (or `deliver` says
// false) no further lot is started; the lots already started are finished and, for a stop
// request, delivered, so every lot checked has its outcome delivered and none after it. Returns
// the number of lots delivered.
std::size_t runInOrder(std::size_t count, std::size_t workers, const RunCallbacks& callbacks,
                       const std::atomic<bool>& stop);

}  // namespace velmora::cli
