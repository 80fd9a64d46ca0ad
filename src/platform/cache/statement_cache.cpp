#include "platform/cache/statement_cache.hpp"

#include <cstdint>
#include <limits>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/counters/counters.hpp"
#include "velmora/error.hpp"

namespace velmora {
namespace {

// A complete result as the statement delivered it.
struct Result {
  std::vector<std::string> columns;
  std::vector<std::vector<Variant>> rows;
  std::size_t bytes = 0;  // estimated memory, key included
};

// What one kept result costs besides its rows: the map node, the key, the column names.
std::size_t overheadBytes(const std::string& key, const std::vector<std::string>& columns) {
  std::size_t bytes = sizeof(Result) + 64 + key.size();
  for (const std::string& column : columns) bytes += sizeof(std::string) + column.size();
  return bytes;
}

std::size_t rowBytes(const std::vector<Variant>& row) {
  std::size_t bytes = sizeof(std::vector<Variant>) + row.size() * sizeof(Variant);
  for (const Variant& value : row) {
    if (value.isText()) bytes += value.text().size();
  }
  return bytes;
}

// A cursor over a kept result: forward only, like the record set it stands for.
class KeptCursor : public Recordset {
 public:
  explicit KeptCursor(std::shared_ptr<const Result> result) : result_(std::move(result)) {}

  bool Eof() const override { return position_ >= result_->rows.size(); }
  void MoveNext() override {
    if (Eof()) raise(err::kNoCurrentRecord);
    ++position_;
  }
  int FieldCount() const override { return static_cast<int>(result_->columns.size()); }
  std::string FieldName(int index) const override {
    if (index < 0 || index >= FieldCount()) raise(err::kItemNotFound, std::to_string(index));
    return result_->columns[static_cast<std::size_t>(index)];
  }

 protected:
  Variant Value(int index) const override {
    return result_->rows[position_][static_cast<std::size_t>(index)];
  }

 private:
  std::shared_ptr<const Result> result_;
  std::size_t position_ = 0;
};

}  // namespace

struct StatementCache::Store {
  std::size_t limit = 0;
  std::size_t used = 0;
  // Changes with every clear(), so that a recording started before it is not kept after it.
  std::uint64_t generation = 0;
  std::unordered_map<std::string, std::shared_ptr<const Result>> results;

  std::size_t room() const { return limit - used; }

  void keep(const std::string& key, std::shared_ptr<const Result> result) {
    if (result->bytes > room() || results.count(key) != 0) return;
    used += result->bytes;
    results.emplace(key, std::move(result));
  }
};

namespace {

// Hands the source's rows to the caller and records them on the way; once the last row has been
// passed (by the caller, or by the destructor reading on), the complete result is kept. Any
// failure of the source, and a result outgrowing the cache's room, ends the recording: from then
// on the caller reads the source directly, exactly as without the cache.
class Recorder : public Recordset {
 public:
  Recorder(std::shared_ptr<Recordset> source, std::weak_ptr<StatementCache::Store> store,
           std::string key, std::uint64_t generation)
      : source_(std::move(source)),
        store_(std::move(store)),
        key_(std::move(key)),
        generation_(generation),
        result_(std::make_shared<Result>()) {
    try {
      const int count = source_->FieldCount();
      for (int i = 0; i < count; ++i) result_->columns.push_back(source_->FieldName(i));
      result_->bytes = overheadBytes(key_, result_->columns);
      if (source_->Eof()) {
        finish();
      } else {
        capture();
      }
    } catch (...) {
      result_.reset();
    }
  }

  ~Recorder() override {
    if (!result_ || done_) return;
    // The caller stopped early: read the rest, so that a repeat of the statement finds it.
    try {
      while (result_ && !source_->Eof()) {
        source_->MoveNext();
        if (!source_->Eof()) capture();
      }
      if (result_) finish();
    } catch (...) {
      // Not kept; the caller is not concerned.
    }
  }

  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  bool Eof() const override { return source_->Eof(); }

  void MoveNext() override {
    try {
      source_->MoveNext();
    } catch (...) {
      result_.reset();
      throw;
    }
    if (!result_ || done_) return;
    if (source_->Eof()) {
      finish();
    } else {
      capture();
    }
  }

  int FieldCount() const override { return source_->FieldCount(); }
  std::string FieldName(int index) const override { return source_->FieldName(index); }

 protected:
  Variant Value(int index) const override {
    if (result_ && !done_) return result_->rows.back()[static_cast<std::size_t>(index)];
    return source_->Fields(index);
  }

 private:
  // Records the source's current row, or ends the recording.
  void capture() {
    std::vector<Variant> row;
    const int count = static_cast<int>(result_->columns.size());
    row.reserve(static_cast<std::size_t>(count));
    try {
      for (int i = 0; i < count; ++i) row.push_back(source_->Fields(i));
    } catch (...) {
      result_.reset();
      return;
    }
    result_->bytes += rowBytes(row);
    const auto store = store_.lock();
    if (!store || store->generation != generation_ || result_->bytes > store->room()) {
      result_.reset();
      return;
    }
    result_->rows.push_back(std::move(row));
  }

  // Keeps the complete result.
  void finish() {
    done_ = true;
    const auto store = store_.lock();
    if (store && store->generation == generation_) store->keep(key_, std::move(result_));
    result_.reset();
  }

  std::shared_ptr<Recordset> source_;
  std::weak_ptr<StatementCache::Store> store_;
  std::string key_;
  std::uint64_t generation_;
  std::shared_ptr<Result> result_;  // null once the recording has ended
  bool done_ = false;
};

}  // namespace

StatementCache::StatementCache(std::size_t byteLimit) : store_(std::make_shared<Store>()) {
  store_->limit = byteLimit;
}

StatementCache::~StatementCache() = default;

std::shared_ptr<Recordset> StatementCache::answer(
    const std::string& key, const std::function<std::shared_ptr<Recordset>()>& execute) {
  counters::statementIssued();
  if (store_->limit == 0) return execute();
  const auto kept = store_->results.find(key);
  if (kept != store_->results.end()) {
    counters::statementFromCache();
    return std::make_shared<KeptCursor>(kept->second);
  }
  std::shared_ptr<Recordset> source = execute();
  if (!source) return source;
  return std::make_shared<Recorder>(std::move(source), store_, key, store_->generation);
}

void StatementCache::clear() {
  store_->results.clear();
  store_->used = 0;
  ++store_->generation;
}

std::size_t StatementCache::bytes() const {
  return store_->used;
}

std::size_t StatementCache::size() const {
  return store_->results.size();
}

std::string cacheKey(std::initializer_list<std::string_view> parts) {
  std::string key;
  std::size_t length = 0;
  for (std::string_view part : parts) length += part.size() + 8;
  key.reserve(length);
  for (std::string_view part : parts) {
    key += std::to_string(part.size());
    key += ':';
    key += part;
  }
  return key;
}

std::size_t mebibytesToBytes(std::size_t mebibytes) {
  constexpr std::size_t kMebibyte = std::size_t{1} << 20;
  if (mebibytes > std::numeric_limits<std::size_t>::max() / kMebibyte) {
    return std::numeric_limits<std::size_t>::max();
  }
  return mebibytes * kMebibyte;
}

}  // namespace velmora
