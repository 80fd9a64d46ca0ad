#include "common/mes_queries.hpp"

#include "common/cached_mes.hpp"
#include "velmora/error.hpp"

namespace velmora {
namespace {

std::shared_ptr<Recordset> required(std::shared_ptr<Recordset> rows, const std::string& sql) {
  if (!rows) {
    throw AutomationError(err::kObjectNotSet,
                          describe(err::kObjectNotSet) +
                              ": the MES database returned no record set (statement: " + sql + ")",
                          FailureKind::kNoAnswer);
  }
  return rows;
}

}  // namespace

std::shared_ptr<Recordset> sendStatement(MesDatabase& mes, const Statement& sql) {
  if (auto* own = dynamic_cast<StatementDatabase*>(&mes)) return own->ExecuteStatement(sql);
  return mes.ExecuteQuery(sql.text());
}

std::shared_ptr<Recordset> sendSelect(MesDatabase& mes, const std::string& tables,
                                      const std::string& columns, const Statement& condition,
                                      const std::string& extra) {
  if (auto* own = dynamic_cast<StatementDatabase*>(&mes)) {
    return own->ExecuteStatement(selectRecords(tables, columns, condition, extra));
  }
  return mes.SelectRecords(tables, columns, condition.text(), extra);
}

std::shared_ptr<Recordset> MesQueries::ExecuteQuery(const Statement& sql) const {
  auto* cached = dynamic_cast<CachedMes*>(&database_);
  return required(cached != nullptr ? cached->query(sql) : sendStatement(database_, sql), sql);
}

std::shared_ptr<Recordset> MesQueries::SelectRecords(const std::string& tables,
                                                     const std::string& columns,
                                                     const Statement& condition,
                                                     const std::string& extra) const {
  auto* cached = dynamic_cast<CachedMes*>(&database_);
  std::shared_ptr<Recordset> rows = cached != nullptr
                                        ? cached->select(tables, columns, condition, extra)
                                        : sendSelect(database_, tables, columns, condition, extra);
  if (rows) return rows;
  return required(nullptr, selectRecords(tables, columns, condition, extra).text());
}

MesQueries mesDatabase(const Context& context) {
  if (!context.mesdb) raise(err::kObjectNotSet, "no MES database object (MESDB)");
  return MesQueries(*context.mesdb);
}

}  // namespace velmora
