#include "platform/ado/odbc/odbc_handles.hpp"

#include "platform/ado/odbc/odbc_error.hpp"
#include "velmora/error.hpp"

namespace velmora::ado::odbc {

Link::Link() {
  if (!succeeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, environment_.out()))) {
    throw AutomationError(err::kGenericFailure,
                          "cannot allocate an ODBC environment (is unixODBC installed?)");
  }
  const SQLRETURN rc = SQLSetEnvAttr(environment_.get(), SQL_ATTR_ODBC_VERSION,
                                     reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  if (!succeeded(rc)) {
    raiseOdbcError(SQL_HANDLE_ENV, environment_.get(), "setting ODBC version 3", {});
  }
  if (!succeeded(SQLAllocHandle(SQL_HANDLE_DBC, environment_.get(), connection_.out()))) {
    raiseOdbcError(SQL_HANDLE_ENV, environment_.get(), "allocating an ODBC connection", {});
  }
}

Link::~Link() {
  if (connected_) SQLDisconnect(connection_.get());
  connection_.reset();  // before the environment it was allocated in
}

StatementHandle allocateStatement(const Link& link, const std::vector<std::string>& secrets) {
  StatementHandle statement;
  if (!succeeded(SQLAllocHandle(SQL_HANDLE_STMT, link.connection(), statement.out()))) {
    raiseOdbcError(SQL_HANDLE_DBC, link.connection(), "allocating a statement", secrets);
  }
  return statement;
}

}  // namespace velmora::ado::odbc
