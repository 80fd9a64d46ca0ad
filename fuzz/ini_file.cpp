// The INI reader (FileIniFile over inih): a file either reads or fails with an error naming it;
// what it read, written back as an INI file, reads back the same in every section; a file with
// a NUL byte does not read (the text after the NUL would be lost).
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "platform/automation/text_compare.hpp"
#include "property.hpp"
#include "velmora/client.hpp"
#include "velmora/error.hpp"

namespace {

using velmora::FileIniFile;
using velmora::fuzz::require;
using Entries = std::vector<std::pair<std::string, std::string>>;

// A file in memory, rewritten for each input; its path opens it like any file.
class MemoryFile {
 public:
  MemoryFile() : fd_(memfd_create("velmora-fuzz-ini", 0)) {
    require(fd_ >= 0, "memfd_create works");
    path_ = "/proc/self/fd/" + std::to_string(fd_);
  }
  const std::string& write(const std::string& content) {
    require(ftruncate(fd_, 0) == 0, "ftruncate works");
    require(pwrite(fd_, content.data(), content.size(), 0) == static_cast<ssize_t>(content.size()),
            "pwrite works");
    return path_;
  }

 private:
  int fd_;
  std::string path_;
};

// The section names that `content` may hold: "" and every "[name]" at the start of a line.
std::vector<std::string> sectionCandidates(const std::string& content) {
  std::vector<std::string> names = {""};
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    std::size_t i = start;
    while (i < end && (content[i] == ' ' || content[i] == '\t')) ++i;
    if (i < end && content[i] == '[') {
      const std::size_t close = content.find(']', i);
      if (close != std::string::npos && close < end) {
        const std::string name = content.substr(i + 1, close - i - 1);
        bool known = false;
        for (const std::string& n : names) known = known || velmora::equalsIgnoreCase(n, name);
        if (!known) names.push_back(name);
      }
    }
    start = end + 1;
  }
  return names;
}

// Whether `value` can be written back under `key`: a value of several lines (a continued
// value, or a repeated key's values joined) continues on lines that start with a blank, which
// inih reads only after a named key and only when the line, blanks trimmed, is not empty and
// not a comment.
bool writable(const std::string& key, const std::string& value) {
  const std::size_t firstBreak = value.find('\n');
  if (firstBreak == std::string::npos) return true;
  if (key.empty()) return false;
  std::size_t start = firstBreak + 1;
  while (true) {
    const std::size_t end = std::min(value.find('\n', start), value.size());
    const std::string line = value.substr(start, end - start);
    if (line.empty() || line.front() == ';' || line.front() == '#' ||
        std::isspace(static_cast<unsigned char>(line.front())) != 0 ||
        std::isspace(static_cast<unsigned char>(line.back())) != 0) {
      return false;
    }
    if (end == value.size()) return true;
    start = end + 1;
  }
}

// `entries` as INI lines: a value of several lines continues on lines that start with a blank.
std::string written(const Entries& entries) {
  std::string out;
  for (const auto& [key, value] : entries) {
    out += key + "=";
    for (char c : value) out += c == '\n' ? std::string("\n ") : std::string(1, c);
    out += '\n';
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static MemoryFile file;
  const std::string content = velmora::fuzz::textOf(data, size);
  FileIniFile ini("");
  const std::string& path = file.write(content);
  try {
    ini.OpenFile(path);
  } catch (const velmora::AutomationError& error) {
    require(error.description().find(path) != std::string::npos, "an error names the file",
            error.description());
    return 0;
  }
  require(content.find('\0') == std::string::npos, "a file with a NUL byte does not read", content);

  const std::vector<std::string> sections = sectionCandidates(content);
  std::string again;
  for (const std::string& section : sections) {
    const Entries entries = ini.Section(section);
    for (const auto& [key, value] : entries) {
      if (!writable(key, value)) return 0;
    }
    if (entries.empty()) continue;
    again += "[" + section + "]\n" + written(entries);
  }
  FileIniFile reread("");
  try {
    reread.OpenFile(file.write(again));
  } catch (const velmora::AutomationError& error) {
    require(false, "what was read, written back, reads", again + "\n" + error.description());
  }
  for (const std::string& section : sections) {
    require(reread.Section(section) == ini.Section(section),
            "what was read, written back, reads back the same", content + "\n=> " + again);
  }
  return 0;
}
