// The MES database as the check run queries it.
//
// The host's MesDatabase object promises a record set for every statement it does not fail. The
// run holds it to that promise: a null record set, which would otherwise crash the first read, is
// error 91 naming the statement, and like any failure of the database to answer it ends the run.
//
// Statements go as values (platform/sql/statement.hpp): the library's own MES database binds
// their values when it is set to, a host's own object receives ExecuteQuery(text) and
// SelectRecords(tables, columns, condition text, extra) exactly as before.
#pragma once

#include <memory>
#include <string>

#include "platform/sql/statement.hpp"
#include "velmora/context.hpp"
#include "velmora/recordset.hpp"

namespace velmora {

class MesQueries {
 public:
  explicit MesQueries(MesDatabase& database) : database_(database) {}

  std::shared_ptr<Recordset> ExecuteQuery(const Statement& sql) const;
  std::shared_ptr<Recordset> SelectRecords(const std::string& tables, const std::string& columns,
                                           const Statement& condition,
                                           const std::string& extra) const;
  std::shared_ptr<Recordset> SelectRecords(const Selection& select) const {
    return SelectRecords(select.tables, select.columns, select.condition, select.extra);
  }

 private:
  MesDatabase& database_;
};

// The MES database of the context; error 91 when the slot is empty.
MesQueries mesDatabase(const Context& context);

// `sql` sent to `mes` itself: as a value to the library's own database, as text to any other.
std::shared_ptr<Recordset> sendStatement(MesDatabase& mes, const Statement& sql);
// SelectRecords sent to `mes` itself: the library's own database runs selectRecords(...) as a
// value; any other object receives the four texts.
std::shared_ptr<Recordset> sendSelect(MesDatabase& mes, const std::string& tables,
                                      const std::string& columns, const Statement& condition,
                                      const std::string& extra);

}  // namespace velmora
