#include <gtest/gtest.h>

#include "support/temp_sqlite.hpp"
#include "velmora/client.hpp"
#include "velmora/error.hpp"

namespace velmora {
namespace {

using velmora::testing::TempFolder;
using velmora::testing::writeText;

AutomationError configFailure(const std::string& home) {
  try {
    loadClientConfig(home);
  } catch (const AutomationError& error) {
    return error;
  }
  ADD_FAILURE() << "no failure";
  return AutomationError(0, "");
}

TEST(ClientConfig, ReadsConnectionAndProviders) {
  TempFolder home;
  writeText(home.file("INI/MESconfig.ini"),
            "[MESDB]\nConnection=sqlite:mes.db\n[MSSQL]\nServerName=inspection.db\n"
            "[Providers]\nSQLOLEDB.1=sqlite\nMSDAORA.1=odbc:DSN=mes\nLocal=sqlite:data\n"
            "Fixed=SQLite:/srv/db\nOther=SQLOLEDB.1\n");
  const ClientConfig config = loadClientConfig(home.path().string());
  EXPECT_EQ(config.home, home.path().string());
  EXPECT_EQ(config.mesConnection, "sqlite:mes.db");
  ASSERT_EQ(config.providers.size(), 5u);
  EXPECT_EQ(config.providers.at("sqloledb.1"), "sqlite:" + home.path().string());
  EXPECT_EQ(config.providers.at("MSDAORA.1"), "odbc:DSN=mes");
  EXPECT_EQ(config.providers.at("Local"), "sqlite:" + (home.path() / "data").string());
  EXPECT_EQ(config.providers.at("Fixed"), "SQLite:/srv/db");
  EXPECT_EQ(config.providers.at("Other"), "SQLOLEDB.1");
}

TEST(ClientConfig, ProvidersAreOptional) {
  TempFolder home;
  writeText(home.file("INI/MESconfig.ini"), "[MESDB]\nConnection=odbc:DSN=mes\n");
  const ClientConfig config = loadClientConfig(home.path().string());
  EXPECT_EQ(config.mesConnection, "odbc:DSN=mes");
  EXPECT_TRUE(config.providers.empty());
}

TEST(ClientConfig, MissingFileFailsNamingIt) {
  TempFolder home;
  const AutomationError error = configFailure(home.path().string());
  EXPECT_NE(error.description().find(home.file("INI/MESconfig.ini")), std::string::npos)
      << error.description();
}

TEST(ClientConfig, MissingConnectionFailsNamingSectionAndKey) {
  TempFolder home;
  for (const std::string text : {"[MSSQL]\nServerName=x\n", "[MESDB]\nConnection=\n",
                                 "[MESDB]\nOther=1\n[X]\nConnection=sqlite:mes.db\n"}) {
    writeText(home.file("INI/MESconfig.ini"), text);
    const AutomationError error = configFailure(home.path().string());
    EXPECT_NE(error.description().find("[MESDB] Connection"), std::string::npos)
        << error.description();
    EXPECT_NE(error.description().find("MESconfig.ini"), std::string::npos) << error.description();
  }
}

TEST(ClientConfig, TimeoutsAndCacheSizeDefaultOrAreWholeNumbers) {
  TempFolder home;
  writeText(home.file("INI/MESconfig.ini"), "[MESDB]\nConnection=sqlite:mes.db\n");
  const ClientConfig defaults = loadClientConfig(home.path().string());
  EXPECT_EQ(defaults.timeouts.query, 30);
  EXPECT_EQ(defaults.timeouts.busy, 15);
  EXPECT_EQ(defaults.statementCacheMiB, 64U);
  EXPECT_TRUE(defaults.timeouts.bindValues);

  writeText(home.file("INI/MESconfig.ini"),
            "[MESDB]\nConnection=sqlite:mes.db\nQueryTimeout=0\nBusyTimeout=2\n"
            "StatementCacheMiB=0\nBindValues=0\n");
  const ClientConfig set = loadClientConfig(home.path().string());
  EXPECT_EQ(set.timeouts.query, 0);
  EXPECT_EQ(set.timeouts.busy, 2);
  EXPECT_EQ(set.statementCacheMiB, 0U);
  EXPECT_FALSE(set.timeouts.bindValues);

  for (const std::string bad :
       {"QueryTimeout=-1", "BusyTimeout=1.5", "QueryTimeout=30s",
        "BusyTimeout=99999999999999999999", "QueryTimeout=86401", "StatementCacheMiB=64MB",
        "StatementCacheMiB=-1", "StatementCacheMiB=1048577", "BindValues=2", "BindValues=yes"}) {
    writeText(home.file("INI/MESconfig.ini"), "[MESDB]\nConnection=sqlite:mes.db\n" + bad + "\n");
    const AutomationError error = configFailure(home.path().string());
    const std::string key = bad.substr(0, bad.find('='));
    EXPECT_NE(error.description().find("[MESDB] " + key), std::string::npos) << error.description();
    EXPECT_NE(error.description().find("MESconfig.ini"), std::string::npos) << error.description();
  }
}

}  // namespace
}  // namespace velmora
