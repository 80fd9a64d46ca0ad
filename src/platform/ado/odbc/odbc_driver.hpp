// The ODBC driver's entry point (unixODBC): Oracle, SQL Server and PostgreSQL in production.
//
// A session is one ODBC connection, opened read-only where the driver honours it. Statements
// run as text (SQLExecDirect). When the database is Oracle they run unchanged; any other
// database runs them through nonOracleStatement (dialect.hpp): the outer-join rewrite and aliases
// for derived tables. Each result is read in full, forward, into a record set held in memory
// (result_reader.hpp), which leaves the connection free for the next statement even on SQL
// Server. The driver is driven through the wide-character calls: texts are UTF-8 on our side
// whatever the driver's narrow character set.
#pragma once

#include <memory>
#include <string>

#include "platform/ado/connection.hpp"

namespace velmora::ado {

// Opens an ODBC session with `connectionString` (as SQLDriverConnect takes it: the provider
// spec's extra attributes followed by the translated OLE DB items, see odbc::odbcConnectionString),
// completed by odbc::withProviderDefaults (FreeTDS when no driver or data source is named, and a
// TDS protocol version for FreeTDS), waiting at most `loginTimeoutSeconds` for the login; every
// statement of the session may then run at most `queryTimeoutSeconds` (SQL_ATTR_QUERY_TIMEOUT;
// one that runs longer fails with SQLSTATE HYT00). For both, 0 is no limit and a negative value
// is error 5. Failures are AutomationErrors carrying the driver's native error number, SQLSTATE
// and message and the connection string with its password shown as "***"; the password never
// appears in them. They are marked as odbcError marks them (odbc_error.hpp).
std::unique_ptr<Session> openOdbcSession(const std::string& connectionString,
                                         long loginTimeoutSeconds, long queryTimeoutSeconds);

}  // namespace velmora::ado
