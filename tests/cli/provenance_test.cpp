#include "cli/provenance.hpp"

#include <gtest/gtest.h>

namespace velmora::cli {
namespace {

// A report's footer names the MES database; a password in it must never reach the page.
TEST(Provenance, MaskedUriHidesEveryPassword) {
  const struct {
    const char* uri;
    const char* shown;
  } rows[] = {
      {"sqlite:mes.db", "sqlite:mes.db"},
      {"odbc:DSN=MES;UID=u;PWD=secret", "odbc:DSN=MES;UID=u;PWD=***"},
      {"ODBC:Driver={PostgreSQL};pwd=s;Server=h", "ODBC:Driver={PostgreSQL};pwd=***;Server=h"},
      {"odbc:Password = {a;b}}c};UID=u", "odbc:Password =***;UID=u"},
      {"odbc:PWD={never closed;UID=u", "odbc:PWD=***"},
      {"odbc:DSN=MES;;PWD=x;", "odbc:DSN=MES;;PWD=***;"},
      {"odbc:UIDPWD=x", "odbc:UIDPWD=x"},
  };
  for (const auto& row : rows) EXPECT_EQ(maskedUri(row.uri), row.shown) << row.uri;
}

}  // namespace
}  // namespace velmora::cli
