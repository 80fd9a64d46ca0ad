#include "platform/ado/connection_string.hpp"

#include <gtest/gtest.h>

#include "velmora/error.hpp"

namespace velmora::ado {
namespace {

TEST(ConnectionString, KeysCompareWithoutCase) {
  const ConnectionString settings = ConnectionString::parse(
      "data source=inspection.db;USER ID=inspector;Password=jxw;Initial Catalog=INSPECTION;");
  EXPECT_EQ(settings.get("Data Source"), "inspection.db");
  EXPECT_EQ(settings.get("User Id"), "inspector");
  EXPECT_EQ(settings.get("PASSWORD"), "jxw");
  EXPECT_EQ(settings.get("initial catalog"), "INSPECTION");
  EXPECT_EQ(settings.get("Provider"), "");
  EXPECT_FALSE(settings.find("Provider").has_value());
  EXPECT_EQ(settings.items().size(), 4u);
}

TEST(ConnectionString, ValuesKeepInnerBlanksAndLoseOuterOnes) {
  const ConnectionString settings =
      ConnectionString::parse("  Data Source = /srv/fab data/mes db.sqlite ;User Id= ;;");
  EXPECT_EQ(settings.get("Data Source"), "/srv/fab data/mes db.sqlite");
  ASSERT_TRUE(settings.find("User Id").has_value());
  EXPECT_EQ(settings.get("User Id"), "");
}

TEST(ConnectionString, EnclosedValues) {
  const ConnectionString settings = ConnectionString::parse(
      "Password='a;b''c';Data Source=\" spaced \";Driver={ODBC Driver 17; x}}y};Last=1");
  EXPECT_EQ(settings.get("Password"), "a;b'c");
  EXPECT_EQ(settings.get("Data Source"), " spaced ");
  EXPECT_EQ(settings.get("Driver"), "ODBC Driver 17; x}y");
  EXPECT_EQ(settings.items()[2].raw, "{ODBC Driver 17; x}}y}");
  EXPECT_EQ(settings.get("Last"), "1");
}

TEST(ConnectionString, LastOccurrenceCounts) {
  EXPECT_EQ(ConnectionString::parse("Data Source=a;data source=b").get("Data Source"), "b");
}

TEST(ConnectionString, ABadItemIsAnErrorNamingWhereItStartsButNotItsText) {
  for (const std::string text : {"Data Source=srv;x;User Id=u", "Password='open", "=value"}) {
    try {
      ConnectionString::parse(text);
      ADD_FAILURE() << text;
    } catch (const AutomationError& error) {
      EXPECT_EQ(error.number(), err::kInvalidCall) << text;
    }
  }
  // A password holding ";" leaves its tail as an item of its own; the error must not show it.
  try {
    ConnectionString::parse("Data Source=srv;User Id=u;Password=ab;cdsecret;Initial Catalog=I;");
    ADD_FAILURE() << "expected an error";
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.description().find("cdsecret"), std::string::npos) << error.description();
    EXPECT_NE(error.description().find("character 39"), std::string::npos) << error.description();
  }
}

TEST(ConnectionString, TranslationToOdbc) {
  const ConnectionString settings = ConnectionString::parse(
      "Provider=SQLOLEDB.1;Data Source=db host;User Id=inspector;Password=pw;"
      "Initial Catalog=INSPECTION;App=velmora;");
  EXPECT_EQ(odbcConnectionString("Driver=FreeTDS;Port=1433", settings, "", ""),
            "Driver=FreeTDS;Port=1433;Server=db host;UID=inspector;PWD=pw;"
            "Database=INSPECTION;App=velmora;");
}

TEST(ConnectionString, TranslationQuotesAndOverrides) {
  const ConnectionString settings =
      ConnectionString::parse("Data Source='a;b';User Id=u;Password=old;DSN={x;y}");
  EXPECT_EQ(odbcConnectionString("", settings, "v", "n}w"),
            "Server={a;b};UID=v;PWD={n}}w};DSN={x;y};");
  EXPECT_EQ(odbcConnectionString("DSN=mes;", ConnectionString::parse(""), "u", "p"),
            "DSN=mes;UID=u;PWD=p;");
  EXPECT_EQ(odbcConnectionString("", ConnectionString::parse("DSN=mes;UID=u;PWD={p;q}"), "", ""),
            "DSN=mes;UID=u;PWD={p;q};");
  // Items passed through keep their meaning whatever OLE DB quoting they were written with.
  EXPECT_EQ(odbcConnectionString("", ConnectionString::parse("App='a;b';WSID=\"x\"\"y\""), "", ""),
            "App={a;b};WSID=x\"y;");
}

}  // namespace
}  // namespace velmora::ado
