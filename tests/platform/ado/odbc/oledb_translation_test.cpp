#include "platform/ado/odbc/oledb_translation.hpp"

#include <gtest/gtest.h>

#include "platform/ado/odbc/odbc_attributes.hpp"

namespace velmora::ado::odbc {
namespace {

TEST(OleDbTranslation, KeysTranslateAndOtherItemsPassThrough) {
  const ConnectionString settings = ConnectionString::parse(
      "Provider=SQLOLEDB.1;Data Source=db host;User Id=inspector;Password=pw;"
      "Initial Catalog=INSPECTION;App=velmora;");
  EXPECT_EQ(odbcConnectionString("Driver=FreeTDS;Port=1433", settings, "", ""),
            "Driver=FreeTDS;Port=1433;Server=db host;UID=inspector;PWD=pw;"
            "Database=INSPECTION;App=velmora;");
}

TEST(OleDbTranslation, QuotesAndOverrides) {
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

TEST(OleDbTranslation, ReadsBackByTheOdbcRules) {
  // The SQLOLEDB.1 path: OLE DB items translated into an ODBC string must mean, to the driver,
  // exactly the values that were written, whatever characters they hold.
  const std::string password = "p;w}d{=";
  const std::string catalogue = "fab;one";
  const ConnectionString oledb = ConnectionString::parse(
      "Data Source=127.0.0.1,1433;User Id=inspector;Initial Catalog={fab;one};");
  const auto attributes =
      parseAttributes(odbcConnectionString("Driver={FreeTDS};Port=1433", oledb, "", password));
  EXPECT_EQ(findAttribute(attributes, "Server"), "127.0.0.1,1433");
  EXPECT_EQ(findAttribute(attributes, "UID"), "inspector");
  EXPECT_EQ(findAttribute(attributes, "PWD"), password);
  EXPECT_EQ(findAttribute(attributes, "Database"), catalogue);
  EXPECT_EQ(findAttribute(attributes, "Port"), "1433");
}

}  // namespace
}  // namespace velmora::ado::odbc
