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

}  // namespace
}  // namespace velmora::ado
