// The MES database as a check run sees it: every call goes to the MES database object in the
// context's slot at the time of the call (error 91 when the slot is empty), through the run's
// statement cache when the run has one.
//
// The cache key names the object and the call: ExecuteQuery by its text, SelectRecords by its
// four arguments (what a host's own object makes of them is its business), so that the cache
// serves any MES database object and never mixes up two of them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/cache/statement_cache.hpp"
#include "platform/sql/statement.hpp"
#include "velmora/context.hpp"
#include "velmora/outside.hpp"

namespace velmora {

class CachedMes final : public MesDatabase {
 public:
  // `cache` may be null: every call is then passed on as it is.
  CachedMes(const Context& context, std::shared_ptr<StatementCache> cache);

  std::shared_ptr<Recordset> ExecuteQuery(const std::string& sql) override;
  std::shared_ptr<Recordset> SelectRecords(const std::string& tables, const std::string& columns,
                                           const std::string& condition,
                                           const std::string& extra) override;

  // The same calls with the statement as a value (mes_queries.hpp): keyed by its text as above,
  // sent with sendStatement and sendSelect.
  std::shared_ptr<Recordset> query(const Statement& sql);
  std::shared_ptr<Recordset> select(const std::string& tables, const std::string& columns,
                                    const Statement& condition, const std::string& extra);

 private:
  // The object in the slot, held until the run ends so that its address, part of the cache key,
  // cannot be taken by another object during the run.
  std::shared_ptr<MesDatabase> current();
  // The object's part of a cache key.
  std::string identity(const MesDatabase& mes) const;

  const Context& context_;
  std::shared_ptr<StatementCache> cache_;
  std::vector<std::shared_ptr<MesDatabase>> held_;
};

}  // namespace velmora
