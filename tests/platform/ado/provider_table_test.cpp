#include "platform/ado/provider_table.hpp"

#include <gtest/gtest.h>

#include "velmora/error.hpp"

namespace velmora::ado {
namespace {

using Driver = DriverSpec::Driver;

AutomationError resolutionFailure(const std::string& provider, const ProviderMap& providers) {
  try {
    resolveProvider(provider, providers);
  } catch (const AutomationError& error) {
    return error;
  }
  ADD_FAILURE() << provider << " resolved";
  return AutomationError(0, "");
}

TEST(ProviderTable, BuiltInDriversResolveToThemselves) {
  EXPECT_EQ(resolveProvider("sqlite", {}).driver, Driver::Sqlite);
  EXPECT_EQ(resolveProvider("SQLite", {}).driver, Driver::Sqlite);
  EXPECT_EQ(resolveProvider("odbc", {}).driver, Driver::Odbc);
  const DriverSpec spec = resolveProvider("ODBC:Driver=FreeTDS;Port=1433", {});
  EXPECT_EQ(spec.driver, Driver::Odbc);
  EXPECT_EQ(spec.argument, "Driver=FreeTDS;Port=1433");
}

TEST(ProviderTable, SqlOleDbIsOdbcUnlessMappedElsewhere) {
  EXPECT_EQ(resolveProvider("SQLOLEDB.1", {}).driver, Driver::Odbc);
  EXPECT_EQ(resolveProvider("sqloledb.1", {}).driver, Driver::Odbc);
  EXPECT_EQ(resolveProvider("SQLOLEDB.1", {{"sqloledb.1", "sqlite"}}).driver, Driver::Sqlite);
  const DriverSpec odbc = resolveProvider("SQLOLEDB.1", {{"SQLOLEDB.1", "odbc:Driver=FreeTDS"}});
  EXPECT_EQ(odbc.driver, Driver::Odbc);
  EXPECT_EQ(odbc.argument, "Driver=FreeTDS");
}

TEST(ProviderTable, AliasesAreFollowed) {
  const ProviderMap providers{{"MSDAORA.1", "odbc:DSN=mes"},
                              {"Inspect", "SQLOLEDB.1"},
                              {"Local", "Inspect2"},
                              {"Inspect2", "sqlite:/data"}};
  EXPECT_EQ(resolveProvider("msdaora.1", providers).argument, "DSN=mes");
  EXPECT_EQ(resolveProvider("Inspect", providers).driver, Driver::Odbc);
  const DriverSpec local = resolveProvider("Local", providers);
  EXPECT_EQ(local.driver, Driver::Sqlite);
  EXPECT_EQ(local.argument, "/data");
}

TEST(ProviderTable, UnknownNamesFailNamingTheProvider) {
  AutomationError error = resolutionFailure("Microsoft.Jet.OLEDB.4.0", {});
  EXPECT_EQ(error.number(), kProviderNotFound);
  EXPECT_NE(error.description().find("'Microsoft.Jet.OLEDB.4.0'"), std::string::npos)
      << error.description();

  error = resolutionFailure("SQLOLEDB.1", {{"SQLOLEDB.1", "mysql"}});
  EXPECT_NE(error.description().find("'SQLOLEDB.1'"), std::string::npos) << error.description();
  EXPECT_NE(error.description().find("'mysql'"), std::string::npos) << error.description();

  error = resolutionFailure("A", {{"A", "B"}, {"B", "A"}});
  EXPECT_NE(error.description().find("'A'"), std::string::npos) << error.description();

  error = resolutionFailure("", {});
  EXPECT_EQ(error.number(), kProviderNotFound);
  EXPECT_EQ(resolutionFailure("sqlite3", {}).number(), kProviderNotFound);
}

}  // namespace
}  // namespace velmora::ado
