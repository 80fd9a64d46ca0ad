// The per-run statement cache: a statement already answered in the same check run is answered
// from memory.
//
// A check run sends many statements several times with the same text (the station of the step
// for every code it translates, the bump-defect list for every wafer, the loss-rate limits for
// every wafer row, ...). The cache keeps the complete result of each statement that succeeded,
// under a key that names the connection and the statement, and answers a repeated statement with
// a fresh cursor over the same column names and the same values, typed as they were delivered.
// It never changes an answer:
//  - only complete results are kept: a result is recorded while the caller reads it, and when the
//    caller lets go of it before its end the rest is read then; a failure while reading drops the
//    recording (the caller sees the failure when and only when it would have without the cache);
//  - a statement that fails is not kept, so a repeat is sent again;
//  - the memory of the kept results is bounded: a result that does not fit is not kept.
// One cache serves one check run on one thread; the run empties it when it starts and ends.
#pragma once

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "velmora/recordset.hpp"

namespace velmora {

class StatementCache {
 public:
  // Keeps at most `byteLimit` bytes of results (an estimate of the memory they hold); 0 keeps
  // nothing, so that every statement is sent.
  explicit StatementCache(std::size_t byteLimit);
  ~StatementCache();
  StatementCache(const StatementCache&) = delete;
  StatementCache& operator=(const StatementCache&) = delete;

  // The answer to the statement that `key` names: a fresh cursor over the kept result when there
  // is one; otherwise what `execute()` returns (its failure reaches the caller and nothing is
  // kept), recorded on its way to the caller and kept once it has been read in full.
  std::shared_ptr<Recordset> answer(const std::string& key,
                                    const std::function<std::shared_ptr<Recordset>()>& execute);

  // Drops every kept result. Record sets handed out before keep working, but what they are
  // still recording is no longer kept.
  void clear();

  // The estimated memory of the kept results (never more than the limit).
  std::size_t bytes() const;
  // The number of kept results.
  std::size_t size() const;

  struct Store;

 private:
  std::shared_ptr<Store> store_;
};

// A cache key made of `parts`, each preceded by its length, so that two different lists of parts
// never give the same key.
std::string cacheKey(std::initializer_list<std::string_view> parts);

// `mebibytes` MiB in bytes, saturating instead of overflowing.
std::size_t mebibytesToBytes(std::size_t mebibytes);

}  // namespace velmora
