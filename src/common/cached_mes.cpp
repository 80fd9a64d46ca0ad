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
  return query(Statement(sql));
}

std::shared_ptr<Recordset> CachedMes::SelectRecords(const std::string& tables,
                                                    const std::string& columns,
                                                    const std::string& condition,
                                                    const std::string& extra) {
  return select(tables, columns, Statement(condition), extra);
}

std::shared_ptr<Recordset> CachedMes::query(const Statement& sql) {
  const std::shared_ptr<MesDatabase> mes = current();
  if (cache_ == nullptr) return sendStatement(*mes, sql);
  return cache_->answer(cacheKey({"ExecuteQuery", identity(*mes), sql.text()}),
                        [&] { return sendStatement(*mes, sql); });
}

std::shared_ptr<Recordset> CachedMes::select(const std::string& tables, const std::string& columns,
                                             const Statement& condition, const std::string& extra) {
  const std::shared_ptr<MesDatabase> mes = current();
  if (cache_ == nullptr) return sendSelect(*mes, tables, columns, condition, extra);
  return cache_->answer(
      cacheKey({"SelectRecords", identity(*mes), tables, columns, condition.text(), extra}),
      [&] { return sendSelect(*mes, tables, columns, condition, extra); });
}

}  // namespace velmora
