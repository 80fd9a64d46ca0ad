#include "common/cached_mes.hpp"

#include <algorithm>
#include <cstdint>

#include "common/mes_queries.hpp"

namespace velmora {

CachedMes::CachedMes(const Context& context, std::shared_ptr<StatementCache> cache)
    : context_(context), cache_(std::move(cache)) {}

std::shared_ptr<MesDatabase> CachedMes::current() {
  mesDatabase(context_);  // called for its error 91 only, when the slot is empty
  std::shared_ptr<MesDatabase> object = context_.mesdb;
  if (cache_ != nullptr && std::find(held_.begin(), held_.end(), object) == held_.end()) {
    held_.push_back(object);
  }
  return object;
}

std::string CachedMes::identity(const MesDatabase& mes) const {
  return std::to_string(reinterpret_cast<std::uintptr_t>(&mes));
}

std::shared_ptr<Recordset> CachedMes::ExecuteQuery(const std::string& sql) {
  const std::shared_ptr<MesDatabase> mes = current();
  if (cache_ == nullptr) return mes->ExecuteQuery(sql);
  return cache_->answer(cacheKey({"ExecuteQuery", identity(*mes), sql}),
                        [&] { return mes->ExecuteQuery(sql); });
}

std::shared_ptr<Recordset> CachedMes::SelectRecords(const std::string& tables,
                                                    const std::string& columns,
                                                    const std::string& condition,
                                                    const std::string& extra) {
  const std::shared_ptr<MesDatabase> mes = current();
  if (cache_ == nullptr) return mes->SelectRecords(tables, columns, condition, extra);
  return cache_->answer(
      cacheKey({"SelectRecords", identity(*mes), tables, columns, condition, extra}),
      [&] { return mes->SelectRecords(tables, columns, condition, extra); });
}

}  // namespace velmora
