// OLE DB connection strings translated into the ODBC connection strings SQLDriverConnect takes,
// for a provider name that the provider table maps to the ODBC driver (SQLOLEDB.1 by default).
#pragma once

#include <string>

#include "platform/ado/connection_string.hpp"

namespace velmora::ado::odbc {

// The ODBC connection string for an OLE DB connection string: first `odbcAttributes` (the extra
// attributes of a provider spec "odbc:<attributes>", as written), then the items of `oledb` in
// their order, where
//   Data Source -> Server, User Id -> UID, Password -> PWD, Initial Catalog -> Database,
//   Provider is dropped, and every other item passes through with its key as written;
// `user` and `password`, when not empty, replace UID and PWD. Values are written as
// writtenValue gives them (braced when needed), so each means to the driver exactly what it
// meant in `oledb`. Every item ends with ";".
std::string odbcConnectionString(const std::string& odbcAttributes, const ConnectionString& oledb,
                                 const std::string& user, const std::string& password);

}  // namespace velmora::ado::odbc
