// The MES database as the check run queries it.
//
// The host's MesDatabase object promises a record set for every statement it does not fail. The
// run holds it to that promise: a null record set, which would otherwise crash the first read, is
// error 91 naming the statement, and like any failure of the database to answer it ends the run.
#pragma once

#include <memory>
#include <string>

#include "velmora/context.hpp"
#include "velmora/recordset.hpp"

namespace velmora {

class MesQueries {
 public:
  explicit MesQueries(MesDatabase& database) : database_(database) {}

  std::shared_ptr<Recordset> ExecuteQuery(const std::string& sql) const;
  std::shared_ptr<Recordset> SelectRecords(const std::string& tables, const std::string& columns,
                                           const std::string& condition,
                                           const std::string& extra) const;

 private:
  MesDatabase& database_;
};

// The MES database of the context; error 91 when the slot is empty.
MesQueries mesDatabase(const Context& context);

}  // namespace velmora
