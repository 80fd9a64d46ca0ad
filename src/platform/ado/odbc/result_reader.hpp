// Reading the result of an executed ODBC statement into a record set.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ado/odbc/odbc_api.hpp"
#include "velmora/recordset.hpp"

namespace velmora::ado::odbc {

// Reads every row of the executed statement's first result, forward with SQLFetch and
// SQLGetData, into a record set held in memory (so the statement, and on SQL Server the
// connection, is free again for the next statement). Column names are those the driver
// reports. Values by the column's SQL type:
//   integer types              a 64-bit integer;
//   REAL, FLOAT, DOUBLE        a double;
//   NUMERIC, DECIMAL           fetched as text, then an integer or a double (numericValue);
//   BIT                        a boolean;
//   binary types               text holding the bytes;
//   everything else            text (UTF-8), dates and times in the driver's text form;
//   NULL                       Null.
// Texts are read in full, however long. Failures are AutomationErrors with the statement's
// diagnostics, `context()` appended (asked for only then) and `secrets` removed, marked as
// odbcError marks them for the database `dbmsName`.
std::shared_ptr<Recordset> readResult(SQLHSTMT statement,
                                      const std::function<std::string()>& context,
                                      const std::vector<std::string>& secrets,
                                      const std::string& dbmsName);

}  // namespace velmora::ado::odbc
