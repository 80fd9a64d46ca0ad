#include "common/mes_queries.hpp"

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

std::shared_ptr<Recordset> MesQueries::ExecuteQuery(const std::string& sql) const {
  return required(database_.ExecuteQuery(sql), sql);
}

std::shared_ptr<Recordset> MesQueries::SelectRecords(const std::string& tables,
                                                     const std::string& columns,
                                                     const std::string& condition,
                                                     const std::string& extra) const {
  std::shared_ptr<Recordset> rows = database_.SelectRecords(tables, columns, condition, extra);
  if (rows) return rows;
  std::string sql = "SELECT " + columns + " FROM " + tables + " WHERE " + condition;
  if (!extra.empty()) sql += " " + extra;
  return required(nullptr, sql);
}

MesQueries mesDatabase(const Context& context) {
  if (!context.mesdb) raise(err::kObjectNotSet, "no MES database object (MESDB)");
  return MesQueries(*context.mesdb);
}

}  // namespace velmora
