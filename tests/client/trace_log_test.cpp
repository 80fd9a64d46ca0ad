#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "support/temp_sqlite.hpp"
#include "velmora/client.hpp"
#include "velmora/error.hpp"

namespace velmora {
namespace {

using velmora::testing::readBytes;
using velmora::testing::TempFolder;

void write(TraceLog& trace, std::int16_t level, std::string text) {
  trace.WriteTrace(level, text);
}

TEST(StreamTraceLog, WritesOneTimestampedLinePerEntry) {
  std::ostringstream out;
  StreamTraceLog trace(out, 5);
  EXPECT_EQ(trace.TraceLevel(), 5);
  write(trace, trace.TraceLevel(), "Abnormals.Execute: Executing...");
  write(trace, 3, "second");
  const std::regex line(
      R"(\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}\.\d{3} Abnormals\.Execute: Executing\.\.\.
\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}\.\d{3} second
)");
  EXPECT_TRUE(std::regex_match(out.str(), line)) << out.str();
}

TEST(StreamTraceLog, FiltersByItsLevel) {
  std::ostringstream out;
  StreamTraceLog trace(out, 3);
  write(trace, 4, "too detailed");
  write(trace, 0, "level zero");
  write(trace, 3, "kept");
  EXPECT_EQ(out.str().find("too detailed"), std::string::npos);
  EXPECT_EQ(out.str().find("level zero"), std::string::npos);
  EXPECT_NE(out.str().find(" kept\n"), std::string::npos);

  std::ostringstream silent;
  StreamTraceLog off(silent, 0);
  write(off, off.TraceLevel(), "nothing");
  EXPECT_EQ(silent.str(), "");
}

TEST(StreamTraceLog, AppendsToAFile) {
  TempFolder folder;
  const std::string path = folder.file("trace.log");
  {
    StreamTraceLog trace(path, 5);
    write(trace, 5, "first");
  }
  {
    StreamTraceLog trace(path, 5);
    write(trace, 5, "second");
  }
  const std::string text = readBytes(path);
  EXPECT_NE(text.find(" first\n"), std::string::npos) << text;
  EXPECT_NE(text.find(" second\n"), std::string::npos) << text;
  EXPECT_LT(text.find("first"), text.find("second"));
}

TEST(StreamTraceLog, UnopenableFileFailsNamingIt) {
  const std::string path = "/nonexistent-velmora-folder/trace.log";
  try {
    StreamTraceLog trace(path, 5);
    FAIL() << "opening must fail";
  } catch (const AutomationError& error) {
    EXPECT_NE(error.description().find(path), std::string::npos) << error.description();
  }
}

}  // namespace
}  // namespace velmora
