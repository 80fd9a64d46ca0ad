// The provider table: which built-in driver serves an OLE DB provider name.
//
// A provider name resolves through the ProviderMap (Context::providers, filled from the MES
// configuration file's [Providers] section) to a driver spec:
//   "sqlite"            the SQLite driver;
//   "sqlite:<folder>"   the SQLite driver, relative Data Source paths taken against <folder>;
//   "odbc"              the ODBC driver;
//   "odbc:<attributes>" the ODBC driver, <attributes> put before the translated connection
//                       string (for example "Driver=FreeTDS;Port=1433").
// Names and driver words compare without regard to ASCII case.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/ado/connection.hpp"

namespace velmora::ado {

// ADO's number for a provider that cannot be found.
inline constexpr std::int32_t kProviderNotFound = 3706;

struct DriverSpec {
  enum class Driver { Sqlite, Odbc };
  Driver driver;
  std::string argument;  // the text after "sqlite:" / "odbc:", "" when none
};

// Reads a driver spec; nullopt when `spec` names no built-in driver.
std::optional<DriverSpec> parseDriverSpec(const std::string& spec);

// Resolves `provider`:
// 1. a name listed in `providers` takes the listed value, which is either a driver spec or
//    another provider name (followed in turn; a loop resolves to nothing);
// 2. an unlisted "SQLOLEDB.1" resolves to "odbc";
// 3. an unlisted name that is itself a driver spec ("sqlite", "odbc", "odbc:...") is that spec.
// A name that resolves to no driver is error 3706 naming the provider (and the value it was
// mapped to, if any).
DriverSpec resolveProvider(const std::string& provider, const ProviderMap& providers);

}  // namespace velmora::ado
