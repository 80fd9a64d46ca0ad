// The list of the tables and columns the checks read, as README.md shows it. (That the list names
// what the demo schema holds is velmora doctor's test on the demo home.)
#include "velmora/tables_read.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace velmora {
namespace {

std::string slurp(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string row(const TableRead& table) {
  std::string columns;
  for (const char* column : table.columns)
    columns += (columns.empty() ? "" : ", ") + std::string(column);
  return "| " + std::string(table.database) + " | `" + table.name + "` | " + columns + " | " +
         (*table.link == '\0' ? "—" : table.link) + " |\n";
}

TEST(TablesRead, TheReadmeShowsTheListAsItIs) {
  const std::string readme = slurp(VELMORA_DEMO_SOURCE "/../README.md");
  std::string expected = "| database | table | columns read | link column |\n|---|---|---|---|\n";
  for (const TableRead& table : tablesRead()) expected += row(table);
  EXPECT_NE(readme.find(expected), std::string::npos)
      << "README.md's schema table differs from tablesRead(); it should read:\n"
      << expected;
}

}  // namespace
}  // namespace velmora
