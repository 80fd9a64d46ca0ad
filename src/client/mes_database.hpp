// The MES database over an ADO-like connection.
#pragma once

#include <memory>
#include <string>

#include "platform/ado/connection.hpp"
#include "platform/sql/statement.hpp"
#include "velmora/outside.hpp"

namespace velmora::client {

// The SQLite file of an MES database URI "sqlite:<path>" (a relative path taken against `home`
// when it is not empty); "" for any other URI.
std::string sqliteFileOf(const std::string& uri, const std::string& home);

// A statement value (ExecuteStatement) goes to the connection as a value: its driver binds the
// values when the connection's BindValues is set. ExecuteQuery and SelectRecords run text.
class AdoMesDatabase : public MesDatabase, public StatementDatabase {
 public:
  explicit AdoMesDatabase(std::shared_ptr<ado::Connection> connection);

  std::shared_ptr<Recordset> ExecuteQuery(const std::string& sql) override;
  std::shared_ptr<Recordset> SelectRecords(const std::string& tables, const std::string& columns,
                                           const std::string& condition,
                                           const std::string& extra) override;
  std::shared_ptr<Recordset> ExecuteStatement(const Statement& statement) override;

  ado::Connection& connection() { return *connection_; }

 private:
  std::shared_ptr<ado::Connection> connection_;
};

}  // namespace velmora::client
