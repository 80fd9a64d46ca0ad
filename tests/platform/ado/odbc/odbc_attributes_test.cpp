#include "platform/ado/odbc/odbc_attributes.hpp"

#include <gtest/gtest.h>

#include "velmora/error.hpp"

namespace velmora::ado::odbc {
namespace {

std::string failureOf(const std::string& text) {
  try {
    parseAttributes(text);
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), err::kInvalidCall);
    return error.description();
  }
  ADD_FAILURE() << "no failure for " << text;
  return "";
}

TEST(OdbcAttributes, ParsesBracedAndPlainValues) {
  const auto attributes =
      parseAttributes(" Driver = {PostgreSQL Unicode} ;Server=db1;;PWD={a;b}}c=d};Port= 5432 ");
  ASSERT_EQ(attributes.size(), 4u);
  EXPECT_EQ(attributes[0].key, "Driver");
  EXPECT_EQ(attributes[0].value, "PostgreSQL Unicode");
  EXPECT_EQ(attributes[2].value, "a;b}c=d");
  EXPECT_EQ(attributes[3].value, "5432");
  EXPECT_EQ(findAttribute(attributes, "pwd"), "a;b}c=d");
  EXPECT_FALSE(findAttribute(attributes, "UID").has_value());
  // Drivers take the first of repeated keys.
  EXPECT_EQ(findAttribute(parseAttributes("UID=a;uid=b"), "UID"), "a");
}

TEST(OdbcAttributes, MalformedItemsNeverShowAValue) {
  const std::string unterminated = failureOf("Driver=x;PWD={se;cret");
  EXPECT_NE(unterminated.find("'PWD'"), std::string::npos) << unterminated;
  EXPECT_EQ(unterminated.find("cret"), std::string::npos) << unterminated;
  const std::string trailing = failureOf("PWD={secret}tail;UID=u");
  EXPECT_EQ(trailing.find("secret"), std::string::npos) << trailing;
  EXPECT_EQ(trailing.find("tail"), std::string::npos) << trailing;
  // A password with an unbraced ";" leaves its tail as an item without "=": shown by position.
  const std::string tail = failureOf("UID=u;PWD=abc;defg;Port=1");
  EXPECT_NE(tail.find("item 3"), std::string::npos) << tail;
  EXPECT_EQ(tail.find("defg"), std::string::npos) << tail;
}

TEST(OdbcAttributes, BracedKeepsEveryValuesMeaning) {
  for (const std::string value : {"plain", "a;b", "}", "{x}", "a}};b", " padded ", "k=v", ""}) {
    const auto back = parseAttributes("PWD=" + braced(value) + ";UID=u");
    ASSERT_EQ(back.size(), 2u) << value;
    EXPECT_EQ(back[0].value, value);
    EXPECT_EQ(back[1].value, "u");
  }
}

TEST(OdbcAttributes, DefaultsToFreeTdsWithAProtocolVersionUnlessConfigured) {
  EXPECT_EQ(withProviderDefaults("Server=srv;UID=u;PWD=p"),
            "Driver={FreeTDS};Server=srv;UID=u;PWD=p;TDS_Version=7.4;");
  EXPECT_EQ(withProviderDefaults("Driver=/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so;Server=s"),
            "Driver=/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so;Server=s;TDS_Version=7.4;");
  for (const std::string configured :
       {"Driver={FreeTDS};tds_version=7.2;Server=s;", "Driver={ODBC Driver 18 for SQL Server};",
        "Driver={PostgreSQL Unicode};Port=5432;", "DSN=mes;UID=u;", "FILEDSN=/etc/mes.dsn;"}) {
    EXPECT_EQ(withProviderDefaults(configured), configured);
  }
}

TEST(OdbcAttributes, PasswordsAreSecretsAndShownMasked) {
  const auto attributes =
      parseAttributes("Driver={FreeTDS};Server=db;UID=u;PWD={s;x};Password=two;Database=C");
  const std::vector<std::string> expected = {"s;x", "two"};
  EXPECT_EQ(secretsOf(attributes), expected);
  EXPECT_EQ(shownAttributes(attributes),
            "Driver=FreeTDS;Server=db;UID=u;PWD=***;Password=***;Database=C;");
}

}  // namespace
}  // namespace velmora::ado::odbc
