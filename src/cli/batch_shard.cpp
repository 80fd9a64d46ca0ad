#include "cli/batch_shard.hpp"

namespace velmora::cli {
namespace {

// `text` as a number when it is 1 to 9 decimal digits (so that it fits, and "+1", " 1" and
// "1e3" are refused rather than half read).
std::optional<unsigned> wholeNumber(const std::string& text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  unsigned value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return value;
}

std::string range() {
  return "from 1 to " + std::to_string(kMaxShards);
}

// A --shard error: `text` is the option's value as given.
BatchInputError shardError(const std::string& text, const std::string& problem) {
  return BatchInputError("--shard '" + text + "': " + problem);
}

// The number in the environment variable `name`, which is set to `value`.
unsigned variableNumber(const std::string& text, const std::string& name,
                        const std::string& value) {
  const std::optional<unsigned> number = wholeNumber(value);
  if (!number) throw shardError(text, name + " '" + value + "' is not a whole number");
  return *number;
}

BatchShard fromKubernetes(const std::string& text, std::optional<unsigned> count,
                          const std::string& value) {
  if (!count) {
    throw shardError(text,
                     "JOB_COMPLETION_INDEX is set, but a Kubernetes Indexed Job's environment does "
                     "not hold its completions; give them as --shard auto/N");
  }
  const unsigned index = variableNumber(text, "JOB_COMPLETION_INDEX", value);
  if (index >= *count) {
    throw shardError(text, "JOB_COMPLETION_INDEX " + std::to_string(index) + " is not below N (" +
                               std::to_string(*count) + "): the Job's completions and N differ");
  }
  return {index, *count};
}

BatchShard fromSlurm(const std::string& text, std::optional<unsigned> given,
                     const std::string& value, const EnvironmentLookup& environment) {
  const unsigned id = variableNumber(text, "SLURM_ARRAY_TASK_ID", value);
  unsigned min = 0;
  if (const auto minimum = environment("SLURM_ARRAY_TASK_MIN")) {
    min = variableNumber(text, "SLURM_ARRAY_TASK_MIN", *minimum);
  }
  if (id < min) {
    throw shardError(text, "SLURM_ARRAY_TASK_ID " + std::to_string(id) +
                               " is below SLURM_ARRAY_TASK_MIN " + std::to_string(min));
  }
  unsigned count = 0;
  std::string countName;
  if (const auto tasks = environment("SLURM_ARRAY_TASK_COUNT")) {
    count = variableNumber(text, "SLURM_ARRAY_TASK_COUNT", *tasks);
    if (count < 1 || count > kMaxShards) {
      throw shardError(text,
                       "SLURM_ARRAY_TASK_COUNT " + std::to_string(count) + " is not " + range());
    }
    if (given && *given != count) {
      throw shardError(text, "SLURM_ARRAY_TASK_COUNT " + std::to_string(count) +
                                 " differs from N (" + std::to_string(*given) + ")");
    }
    countName = "SLURM_ARRAY_TASK_COUNT " + std::to_string(count);
  } else if (given) {
    count = *given;
    countName = "N (" + std::to_string(count) + ")";
  } else {
    throw shardError(text, "SLURM_ARRAY_TASK_COUNT is not set; give the count as --shard auto/N");
  }
  // An array with gaps or a step (--array=1,5 or 0-15:4) has indices beyond its count: those
  // tasks would miss lots, so they are refused rather than folded onto others.
  if (id - min >= count) {
    throw shardError(text, "SLURM_ARRAY_TASK_ID " + std::to_string(id) + " minus " +
                               "SLURM_ARRAY_TASK_MIN " + std::to_string(min) + " is not below " +
                               countName + ": the array's indices must be consecutive");
  }
  return {id - min, count};
}

std::uint64_t fnv1a(std::uint64_t hash, const std::string& bytes) {
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3u;
  }
  return hash;
}

}  // namespace

BatchShard parseBatchShard(const std::string& text, const EnvironmentLookup& environment) {
  const std::size_t slash = text.find('/');
  const std::string first = text.substr(0, slash);
  const std::optional<unsigned> count =
      slash == std::string::npos ? std::nullopt : wholeNumber(text.substr(slash + 1));
  if (slash != std::string::npos && !count) {
    throw shardError(text, "N is not a whole number " + range());
  }
  if (count && (*count < 1 || *count > kMaxShards)) {
    throw shardError(text, "N is " + std::to_string(*count) + ", not " + range());
  }
  if (first == "auto") {
    const auto kubernetes = environment("JOB_COMPLETION_INDEX");
    const auto slurm = environment("SLURM_ARRAY_TASK_ID");
    if (kubernetes && slurm) {
      throw shardError(text,
                       "both JOB_COMPLETION_INDEX and SLURM_ARRAY_TASK_ID are set; give "
                       "the part as --shard K/N");
    }
    if (kubernetes) return fromKubernetes(text, count, *kubernetes);
    if (slurm) return fromSlurm(text, count, *slurm, environment);
    throw shardError(text,
                     "neither JOB_COMPLETION_INDEX (a Kubernetes Indexed Job) nor "
                     "SLURM_ARRAY_TASK_ID (a Slurm job array) is set");
  }
  const std::optional<unsigned> k = wholeNumber(first);
  if (!k || !count) {
    throw shardError(text, "expected K/N (the K-th of N parts, K from 1 to N), auto or auto/N");
  }
  if (*k < 1 || *k > *count) {
    throw shardError(
        text, "K is " + std::to_string(*k) + ", not from 1 to N (" + std::to_string(*count) + ")");
  }
  return {*k - 1, *count};
}

std::uint64_t lotStepHash(const std::string& lot, const std::string& step) {
  std::uint64_t hash = fnv1a(0xcbf29ce484222325u, lot);
  hash = fnv1a(hash, std::string(1, '\x1f'));
  hash = fnv1a(hash, step);
  // FNV-1a's low bits hardly depend on the last bytes, and lots differ mostly there; the
  // finaliser spreads every bit over all of them before the remainder is taken.
  hash ^= hash >> 33;
  hash *= 0xff51afd7ed558ccdu;
  hash ^= hash >> 33;
  hash *= 0xc4ceb9fe1a85ec53u;
  hash ^= hash >> 33;
  return hash;
}

unsigned shardOf(const std::string& lot, const std::string& step, unsigned count) {
  return static_cast<unsigned>(lotStepHash(lot, step) % count);
}

std::vector<BatchLot> lotsOfShard(std::vector<BatchLot> lots, const BatchShard& shard) {
  std::erase_if(lots, [&](const BatchLot& lot) {
    return shardOf(lot.lot, lot.step, shard.count) != shard.index;
  });
  return lots;
}

}  // namespace velmora::cli
