#include <gtest/gtest.h>

#include "support/failure.hpp"

#include "platform/ado/connection.hpp"
#include "platform/ado/provider_table.hpp"
#include "support/temp_sqlite.hpp"
#include "velmora/error.hpp"

namespace velmora::ado {
namespace {

using velmora::testing::makeDatabase;
using velmora::testing::TempFolder;

using velmora::testing::failureOf;

class AdoConnection : public ::testing::Test {
 protected:
  void SetUp() override {
    makeDatabase(folder.file("inspection.db"),
                 "CREATE TABLE AUGUSTLOTDATA (Runcard TEXT, Station TEXT);"
                 "INSERT INTO AUGUSTLOTDATA VALUES ('LOT1', 'FQC');");
  }
  TempFolder folder;
};

TEST_F(AdoConnection, InspectionConnectionAsTheComponentOpensIt) {
  // The component's settings: provider SQLOLEDB.1, mapped to SQLite by the installation, with
  // the relative server name taken against the home folder.
  auto connection =
      std::make_shared<Connection>(ProviderMap{{"SQLOLEDB.1", "sqlite:" + folder.path().string()}});
  connection->ConnectionTimeout = 3;
  connection->CursorLocation = kUseClient;
  connection->Provider = "SQLOLEDB.1";
  EXPECT_FALSE(connection->IsOpen());
  connection->Open(
      "Data Source=inspection.db;User Id=inspector;Password=jxw;Initial Catalog=INSPECTION;", "",
      "", -1);
  EXPECT_TRUE(connection->IsOpen());

  Command command;
  command.ActiveConnection = connection;
  command.CommandType = kCmdText;
  command.CommandText = "SELECT Runcard FROM AUGUSTLOTDATA WHERE STATION='FQC' ";
  auto rows = command.Execute(-1);
  ASSERT_FALSE(rows->Eof());
  EXPECT_EQ(rows->Fields("RUNCARD"), Variant("LOT1"));

  EXPECT_EQ(failureOf([&] { connection->Open("Data Source=inspection.db"); }).number(), 3705);
}

TEST_F(AdoConnection, AbsoluteDataSourceIgnoresTheSpecsFolder) {
  Connection connection(ProviderMap{{"SQLOLEDB.1", "sqlite:/nonexistent"}});
  connection.Provider = "SQLOLEDB.1";
  connection.Open("Data Source=" + folder.file("inspection.db") + ";");
  EXPECT_TRUE(connection.IsOpen());
}

TEST_F(AdoConnection, ProviderMayComeFromTheConnectionString) {
  Connection connection;
  connection.Open("Provider=sqlite;Data Source=" + folder.file("inspection.db"));
  EXPECT_TRUE(connection.IsOpen());
}

TEST_F(AdoConnection, UnknownProviderFailsNamingIt) {
  Connection connection;
  connection.Provider = "MSDAORA.1";
  const AutomationError error = failureOf([&] { connection.Open("Data Source=x;"); });
  EXPECT_EQ(error.number(), kProviderNotFound);
  EXPECT_NE(error.description().find("MSDAORA.1"), std::string::npos) << error.description();
  EXPECT_FALSE(connection.IsOpen());
}

TEST_F(AdoConnection, SqlOleDbDefaultsToOdbc) {
  // Routed to the ODBC driver: whatever that driver reports (no driver built, no server on the
  // closed loopback port), it is not the provider table's failure and never shows the password.
  Connection connection;
  connection.ConnectionTimeout = 3;
  connection.Provider = "SQLOLEDB.1";
  const AutomationError error = failureOf([&] {
    connection.Open("Data Source=127.0.0.1;Port=1;User Id=u;Password=secret;Initial Catalog=C;");
  });
  EXPECT_EQ(error.description().find("Provider cannot be found"), std::string::npos)
      << error.description();
  EXPECT_EQ(error.description().find("secret"), std::string::npos) << error.description();
  EXPECT_FALSE(connection.IsOpen());
}

TEST_F(AdoConnection, ClosedConnectionAndMissingConnectionFail) {
  auto connection = std::make_shared<Connection>();
  EXPECT_EQ(failureOf([&] { connection->Execute("SELECT 1"); }).number(), 3709);
  EXPECT_EQ(failureOf([&] { connection->session(); }).number(), 3709);

  Command command;
  command.CommandText = "SELECT 1";
  EXPECT_EQ(failureOf([&] { command.Execute(); }).number(), err::kObjectNotSet);
  command.ActiveConnection = connection;
  EXPECT_EQ(failureOf([&] { command.Execute(); }).number(), 3709);

  connection->Provider = "sqlite";
  connection->Open("Data Source=" + folder.file("inspection.db"));
  command.CommandType = 4;  // a stored procedure
  EXPECT_EQ(failureOf([&] { command.Execute(); }).number(), 3001);
  command.CommandType = kCmdText;
  EXPECT_FALSE(command.Execute()->Eof());
}

}  // namespace
}  // namespace velmora::ado
