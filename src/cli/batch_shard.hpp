// `velmora batch --shard`: one of N disjoint parts of a batch's lots, so that N machines (a
// Kubernetes Indexed Job, a Slurm job array, or N runs started by hand) share one input.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/batch_input.hpp"

namespace velmora::cli {

// The part of the lots this run checks: `index` from 0 to `count` - 1.
struct BatchShard {
  unsigned index = 0;
  unsigned count = 1;
};

inline constexpr unsigned kMaxShards = 10000;

// The value of an environment variable, or nothing when it is not set.
using EnvironmentLookup = std::function<std::optional<std::string>(const std::string& name)>;

// The --shard value `text`: "K/N" (K from 1 to N, N from 1 to kMaxShards), "auto" or "auto/N".
// "auto" takes the part from `environment`: in a Kubernetes Indexed Job JOB_COMPLETION_INDEX
// (0-based; the count is not in the Job's environment, so it needs "auto/N"); in a Slurm job
// array SLURM_ARRAY_TASK_ID minus SLURM_ARRAY_TASK_MIN (0 when unset), out of
// SLURM_ARRAY_TASK_COUNT (N of "auto/N" when unset; when both are given they must agree).
// Anything else, a variable missing or not a number in range, or both kinds of job at once, is a
// BatchInputError whose message names --shard and the variable at fault.
BatchShard parseBatchShard(const std::string& text, const EnvironmentLookup& environment);

// A lot at a step as 64 bits: FNV-1a of the lot's bytes, a 0x1f byte and the step's bytes, mixed
// by a 64-bit finaliser (so that the low bits depend on every byte). The same on every machine
// and build.
std::uint64_t lotStepHash(const std::string& lot, const std::string& step);

// The shard, 0-based, of a lot at a step among `count`: lotStepHash modulo `count`, so a rerun
// checks the same lots and a lot listed twice falls into one shard.
unsigned shardOf(const std::string& lot, const std::string& step, unsigned count);

// The lots of `lots` in `shard`, in their order.
std::vector<BatchLot> lotsOfShard(std::vector<BatchLot> lots, const BatchShard& shard);

}  // namespace velmora::cli
