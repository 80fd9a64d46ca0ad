#include "platform/ado/odbc/odbc_driver.hpp"

#include <algorithm>
#include <climits>
#include <vector>

#include "platform/ado/odbc/dialect.hpp"
#include "platform/ado/odbc/odbc_attributes.hpp"
#include "platform/ado/odbc/odbc_error.hpp"
#include "platform/ado/odbc/odbc_handles.hpp"
#include "platform/ado/odbc/result_reader.hpp"
#include "platform/ado/odbc/wide_text.hpp"
#include "velmora/error.hpp"

namespace velmora::ado {
namespace {

using odbc::Link;
using odbc::succeeded;

class OdbcSession : public Session {
 public:
  OdbcSession(std::unique_ptr<Link> link, std::string dbmsName, std::vector<std::string> secrets,
              SQLULEN queryTimeout)
      : link_(std::move(link)),
        dbmsName_(std::move(dbmsName)),
        oracle_(odbc::isOracle(dbmsName_)),
        secrets_(std::move(secrets)),
        queryTimeout_(queryTimeout) {}

  std::shared_ptr<Recordset> Execute(const std::string& sql) override {
    const std::string statementText = oracle_ ? sql : odbc::nonOracleStatement(sql);
    std::string context = "statement: " + sql;
    if (statementText != sql) context += "; as run: " + statementText;

    const odbc::StatementHandle statement = timedStatement();
    std::vector<SQLWCHAR> wide = odbc::toWide(statementText);
    const SQLRETURN rc =
        SQLExecDirectW(statement.get(), wide.data(), static_cast<SQLINTEGER>(wide.size() - 1));
    if (rc == SQL_NO_DATA) {
      // A statement that touched no row and returns none.
      return std::make_shared<MemoryRecordset>(std::vector<std::string>{},
                                               std::vector<std::vector<Variant>>{});
    }
    if (!succeeded(rc)) {
      odbc::raiseOdbcError(SQL_HANDLE_STMT, statement.get(), context, secrets_, dbmsName_);
    }
    return odbc::readResult(statement.get(), context, secrets_, dbmsName_);
  }

  std::string DbmsName() const override { return dbmsName_; }

  // A connection the driver knows to be dead fails at once; otherwise one short statement shows
  // whether the server still answers (a server that dropped the connection, for example after a
  // restart, is only noticed by talking to it).
  bool IsAlive() override {
    SQLUINTEGER dead = SQL_CD_FALSE;
    if (succeeded(SQLGetConnectAttrW(link_->connection(), SQL_ATTR_CONNECTION_DEAD, &dead,
                                     SQL_IS_UINTEGER, nullptr)) &&
        dead == SQL_CD_TRUE) {
      return false;
    }
    try {
      // With the query timeout of every other statement: a driver that applies the timeout by a
      // statement of its own (PostgreSQL's sets statement_timeout) would otherwise send two more
      // for the check, one to clear the timeout and one to restore it.
      const odbc::StatementHandle statement = timedStatement();
      std::vector<SQLWCHAR> wide = odbc::toWide(oracle_ ? "SELECT 1 FROM DUAL" : "SELECT 1");
      if (!succeeded(SQLExecDirectW(statement.get(), wide.data(),
                                    static_cast<SQLINTEGER>(wide.size() - 1)))) {
        return false;
      }
      return succeeded(SQLFetch(statement.get()));
    } catch (...) {
      return false;
    }
  }

 private:
  // A new statement of the link with the session's query timeout. A driver that cannot time
  // statements out refuses the attribute or changes its value; the statement then runs as long
  // as the server lets it.
  odbc::StatementHandle timedStatement() const {
    odbc::StatementHandle statement = odbc::allocateStatement(*link_, secrets_);
    SQLSetStmtAttrW(statement.get(), SQL_ATTR_QUERY_TIMEOUT,
                    reinterpret_cast<SQLPOINTER>(queryTimeout_), SQL_IS_UINTEGER);
    return statement;
  }

  std::unique_ptr<Link> link_;
  std::string dbmsName_;
  bool oracle_;
  std::vector<std::string> secrets_;
  SQLULEN queryTimeout_;
};

// Seconds as an ODBC attribute value (0: no limit); negative is error 5 naming `what`.
SQLULEN seconds(long value, const char* what, const std::string& context) {
  if (value < 0) {
    raise(err::kInvalidCall,
          std::string(what) + " " + std::to_string(value) + " s (" + context + ")");
  }
  // Compared as unsigned long long: where long is 32 bits (Windows), UINT_MAX is no long.
  const auto wide = static_cast<unsigned long long>(value);
  return static_cast<SQLULEN>(wide > UINT_MAX ? UINT_MAX : wide);
}

// SQL_DBMS_NAME of the connected link.
std::string dbmsNameOf(const Link& link, const std::string& context,
                       const std::vector<std::string>& secrets) {
  std::vector<SQLWCHAR> name(256);
  SQLSMALLINT bytes = 0;
  const SQLRETURN rc =
      SQLGetInfoW(link.connection(), SQL_DBMS_NAME, name.data(),
                  static_cast<SQLSMALLINT>(name.size() * sizeof(SQLWCHAR)), &bytes);
  if (!succeeded(rc)) {
    odbc::raiseOdbcError(SQL_HANDLE_DBC, link.connection(), "asking the DBMS name; " + context,
                         secrets);
  }
  const std::size_t units =
      std::min(static_cast<std::size_t>(bytes < 0 ? 0 : bytes) / sizeof(SQLWCHAR), name.size() - 1);
  return odbc::fromWide(name.data(), units);
}

}  // namespace

std::unique_ptr<Session> openOdbcSession(const std::string& connectionString,
                                         long loginTimeoutSeconds, long queryTimeoutSeconds) {
  const std::string complete = odbc::withProviderDefaults(connectionString);
  const std::vector<odbc::Attribute> attributes = odbc::parseAttributes(complete);
  const std::vector<std::string> secrets = odbc::secretsOf(attributes);
  const std::string context = "connecting to " + odbc::shownAttributes(attributes);
  const SQLULEN timeout = seconds(loginTimeoutSeconds, "login timeout", context);
  const SQLULEN queryTimeout = seconds(queryTimeoutSeconds, "query timeout", context);

  auto link = std::make_unique<Link>();
  const SQLHDBC connection = link->connection();
  if (!succeeded(SQLSetConnectAttrW(connection, SQL_ATTR_LOGIN_TIMEOUT,
                                    reinterpret_cast<SQLPOINTER>(timeout), SQL_IS_UINTEGER))) {
    odbc::raiseOdbcError(SQL_HANDLE_DBC, connection, "setting the login timeout; " + context,
                         secrets);
  }
  // The component only reads; a driver that can enforce it is told so. Drivers that cannot
  // refuse the attribute, which changes nothing.
  SQLSetConnectAttrW(connection, SQL_ATTR_ACCESS_MODE,
                     reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_MODE_READ_ONLY)),
                     SQL_IS_UINTEGER);

  std::vector<SQLWCHAR> wide = odbc::toWide(complete);
  if (wide.size() - 1 > static_cast<std::size_t>(SHRT_MAX)) {
    raise(err::kInvalidCall, "ODBC connection string longer than " + std::to_string(SHRT_MAX) +
                                 " characters (" + context + ")");
  }
  const SQLRETURN rc =
      SQLDriverConnectW(connection, nullptr, wide.data(), static_cast<SQLSMALLINT>(wide.size() - 1),
                        nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
  if (!succeeded(rc)) odbc::raiseOdbcError(SQL_HANDLE_DBC, connection, context, secrets);
  link->markConnected();

  std::string dbmsName = dbmsNameOf(*link, context, secrets);
  return std::make_unique<OdbcSession>(std::move(link), std::move(dbmsName), secrets, queryTimeout);
}

}  // namespace velmora::ado
