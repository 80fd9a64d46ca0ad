#include <gtest/gtest.h>
#include <ini.h>

#include <string>
#include <vector>

#include "client/ini_stream.hpp"
#include "support/temp_sqlite.hpp"
#include "velmora/client.hpp"
#include "velmora/error.hpp"

namespace velmora {
namespace {

using velmora::testing::TempFolder;
using velmora::testing::writeText;

std::string read(IniFile& ini, std::string section, std::string key) {
  return ini.ReadValue(section, key);
}

TEST(IniFile, PathsReportTheHomeFolder) {
  FileIniFile ini("/opt/mes/home");
  EXPECT_EQ(ini.PathHead(), "/opt/mes/home");
  EXPECT_EQ(ini.PathTail(), "");
}

TEST(IniFile, ReadsValuesWithoutRegardToCase) {
  TempFolder home;
  const std::string path = home.file("INI/MESconfig.ini");
  writeText(path,
            "; comment\n[MSSQL]\nServerName = inspection server.db\nUserName=inspector ; note\n"
            "InitDB=INSPECTION\nEmpty=\n[MESDB]\nConnection=odbc:DSN=mes;UID=u;PWD=p\n");
  FileIniFile ini(home.path().string());
  ini.OpenFile(ini.PathHead() + ini.PathTail() + "/INI/MESconfig.ini");
  EXPECT_EQ(ini.path(), path);
  EXPECT_EQ(read(ini, "MSSQL", "ServerName"), "inspection server.db");
  EXPECT_EQ(read(ini, "mssql", "SERVERNAME"), "inspection server.db");
  EXPECT_EQ(read(ini, "MSSQL", "UserName"), "inspector");
  EXPECT_EQ(read(ini, "MSSQL", "InitDB"), "INSPECTION");
  EXPECT_EQ(read(ini, "MSSQL", "Empty"), "");
  EXPECT_EQ(read(ini, "MESDB", "Connection"), "odbc:DSN=mes;UID=u;PWD=p");
  // Missing keys and sections read as "".
  EXPECT_EQ(read(ini, "MSSQL", "Password"), "");
  EXPECT_EQ(read(ini, "NOSECTION", "ServerName"), "");
  const auto section = ini.Section("mssql");
  ASSERT_EQ(section.size(), 4u);
  EXPECT_EQ(section[0].first, "ServerName");
  EXPECT_EQ(section[3].first, "Empty");
}

TEST(IniFile, NothingReadBeforeOpenFile) {
  FileIniFile ini("/nowhere");
  EXPECT_EQ(read(ini, "MSSQL", "ServerName"), "");
}

TEST(IniFile, MissingFileFailsNamingIt) {
  TempFolder home;
  FileIniFile ini(home.path().string());
  const std::string path = home.file("INI/MESconfig.ini");
  try {
    ini.OpenFile(path);
    FAIL() << "a missing file must fail";
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), 53);
    EXPECT_NE(error.description().find(path), std::string::npos) << error.description();
  }
  try {
    ini.OpenFile(home.path().string());
    FAIL() << "a folder must fail";
  } catch (const AutomationError& error) {
    EXPECT_NE(error.description().find(home.path().string()), std::string::npos);
  }
}

TEST(IniFile, BadLinesFailNamingFileAndLine) {
  using namespace std::string_literals;
  struct Case {
    std::string content;
    const char* line;
  };
  const Case cases[] = {
      {"[A]\nKey=1\nthis line has no equals sign\n", "line 3"},
      {"[A]\nKey=" + std::string(300, 'x') + "\n", "line 2"},  // longer than inih reads
      // inih stops at a NUL byte: the lines after it would be lost without a word.
      {"[A]\nKey=1\nOther=2\0\nPassword=p\n"s, "line 3"},
      // inih cuts longer section names (and keys of continued values) to 49 bytes: the keys
      // would be filed under another name.
      {"[A]\n[" + std::string(49, 'S') + "]\nKey=1\n", "line 3"},
      {"[A]\n" + std::string(49, 'K') + "=1\n  continued\n", "line 2"},
  };
  TempFolder home;
  const std::string path = home.file("bad.ini");
  FileIniFile ini(home.path().string());
  for (const Case& c : cases) {
    writeText(path, c.content);
    try {
      ini.OpenFile(path);
      ADD_FAILURE() << "no failure for line " << c.line;
    } catch (const AutomationError& error) {
      EXPECT_NE(error.description().find(path), std::string::npos) << error.description();
      EXPECT_NE(error.description().find(c.line), std::string::npos) << error.description();
    }
  }
}

// A key given twice in a section (in any case) is an error naming file, line and key; before,
// the values were joined. A line starting with a blank still continues the value above it.
TEST(IniFile, AKeyGivenTwiceInASectionFailsNamingFileLineAndKey) {
  TempFolder home;
  const std::string path = home.file("twice.ini");
  writeText(path,
            "[MESDB]\nConnection=sqlite:a.db\n[MSSQL]\nServerName=s\n[mesdb]\n"
            "; again\nCONNECTION=sqlite:b.db\n");
  FileIniFile ini(home.path().string());
  try {
    ini.OpenFile(path);
    FAIL() << "a repeated key must fail";
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.description(),
              "Invalid procedure call or argument: key 'CONNECTION' in "
              "section [mesdb] given again at line 7 of '" +
                  path + "' (first at line 2)");
  }
  writeText(path, "[A]\nKey=first\n  second\n[B]\nKey=other\n");
  ini.OpenFile(path);
  EXPECT_EQ(read(ini, "A", "Key"), "first\nsecond");
  EXPECT_EQ(read(ini, "B", "Key"), "other");
}

TEST(IniFile, FactoryMakesANewReaderPerCall) {
  const auto factory = iniFileFactory("/home/mes");
  const std::shared_ptr<IniFile> first = factory();
  const std::shared_ptr<IniFile> second = factory();
  ASSERT_NE(first, nullptr);
  EXPECT_NE(first, second);
  EXPECT_EQ(first->PathHead(), "/home/mes");
  EXPECT_EQ(first->PathTail(), "");
}

// The Windows build parses with our own copy of inih's grammar: it must read every file as
// Debian's inih does, values, sections and the line of the first error alike.
struct Parsed {
  std::vector<std::string> values;
  int result = 0;
  bool operator==(const Parsed&) const = default;
};

template <class Parse>
Parsed parseWith(Parse parse, const std::string& text) {
  struct Stream {
    const std::string& text;
    std::size_t at = 0;
    static char* read(char* buffer, int size, void* self) {
      auto& in = *static_cast<Stream*>(self);
      if (in.at >= in.text.size()) return nullptr;
      std::size_t end = in.text.find('\n', in.at);
      end = end == std::string::npos ? in.text.size() : end + 1;
      const std::size_t length = std::min(end - in.at, static_cast<std::size_t>(size - 1));
      in.text.copy(buffer, length, in.at);
      buffer[length] = '\0';
      in.at += length;
      return buffer;
    }
  } stream{text};
  Parsed parsed;
  auto handler = [](void* user, const char* section, const char* name, const char* value) {
    static_cast<Parsed*>(user)->values.push_back(std::string(section) + "|" + name + "|" + value);
    return std::string(name) == "refused" ? 0 : 1;
  };
  parsed.result = parse(&Stream::read, &stream, handler, &parsed);
  return parsed;
}

TEST(IniFile, OwnGrammarReadsAsInih) {
  const std::vector<std::string> files = {
      "",
      "\xEF\xBB\xBF[MSSQL]\nServerName = inspection.db\n",
      "; comment\n# comment\n[A]\nk=v ; inline\nk2 = v;no comment\nk3: colon\n",
      "[A]\nk=first\n  second line\n\tthird\nk2=x\n[B]\n  not a continuation\n",
      "[A]\nno equals sign\n[B\nk=v\n[]\nempty=\n=novalue\n",
      "[A] trailing\nk = v  \r\n[" + std::string(60, 's') + "]\n" + std::string(60, 'k') + "=v\n",
      "k=before any section\n[A]\nrefused=1\nk=after\n[A];c\nx=[y] #h\n  ;c\n",
  };
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    EXPECT_EQ(parseWith(client::parseIniLines, file), parseWith(ini_parse_stream, file));
  }
}

}  // namespace
}  // namespace velmora
