#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "client/file_errors.hpp"
#include "client/ini_stream.hpp"
#include "platform/automation/text_compare.hpp"
#include "velmora/client.hpp"
#include "velmora/error.hpp"

namespace velmora {
namespace {

// inih reads lines of at most kIniLineBuffer - 1 bytes (with the line end); longer lines would
// be cut into pieces silently.
constexpr std::size_t kMaxLineBytes = client::kIniLineBuffer - 1;

// inih keeps the section name, and the key that a continuation line belongs to, in buffers of 50
// bytes and cuts longer names silently: a section's keys would then be filed under a shorter
// name. A name of 49 bytes may have been cut, so names are read up to 48 bytes.
constexpr std::size_t kMaxNameBytes = 48;

// The file's content; raises the file error naming `path` when it cannot be read.
std::string readWholeFile(const std::string& path) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (!std::filesystem::exists(status)) client::raiseFileError(path, ENOENT, false);
  if (std::filesystem::is_directory(status)) client::raiseFileError(path, EISDIR, true);
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) client::raiseFileError(path, errno, true);
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) client::raiseFileError(path, errno, true);
  return content.str();
}

// The number (from 1) of the first line longer than inih reads, or 0.
int firstLongLine(const std::string& content) {
  int line = 1;
  std::size_t start = 0;
  while (start <= content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    if (end - start > kMaxLineBytes) return line;
    start = end + 1;
    ++line;
  }
  return 0;
}

// The file's lines as inih reads them, one per call, counted so that the handler knows the
// line it is given a value from.
struct LineReader {
  const std::string& content;
  std::size_t at = 0;
  int line = 0;              // the number of the line read last, from 1
  bool startsBlank = false;  // it starts with a blank: inih continues the previous value

  static char* read(char* buffer, int size, void* self) {
    auto& reader = *static_cast<LineReader*>(self);
    if (reader.at >= reader.content.size() || size <= 1) return nullptr;
    std::size_t end = reader.content.find('\n', reader.at);
    end = end == std::string::npos ? reader.content.size() : end + 1;
    // Every line fits: longer ones were refused before parsing.
    const std::size_t length = std::min(end - reader.at, static_cast<std::size_t>(size - 1));
    reader.content.copy(buffer, length, reader.at);
    buffer[length] = '\0';
    reader.startsBlank = buffer[0] == ' ' || buffer[0] == '\t';
    reader.at += length;
    ++reader.line;
    return buffer;
  }
};

// One value as the handler collects it, with the line it started on.
struct Item {
  std::string section;
  std::string key;
  std::string value;
  int line;
};

// What the handler collects: the values, the one read last, and the first key given twice in
// one section.
struct Collected {
  LineReader& reader;
  std::vector<Item> items;
  std::size_t last = std::string::npos;
  std::string duplicate;  // "'key' in section [name]", "" when none
  int duplicateLine = 0;
  int firstLine = 0;
  bool longName = false;  // a section name or key longer than kMaxNameBytes was met
};

int collect(void* user, const char* section, const char* key, const char* value) {
  auto& collected = *static_cast<Collected*>(user);
  if (std::strlen(section) > kMaxNameBytes || std::strlen(key) > kMaxNameBytes) {
    collected.longName = true;
    return 0;
  }
  for (std::size_t i = 0; i < collected.items.size(); ++i) {
    Item& entry = collected.items[i];
    if (!equalsIgnoreCase(entry.section, section) || !equalsIgnoreCase(entry.key, key)) continue;
    if (i == collected.last && collected.reader.startsBlank) {
      // A continuation line of the value just read.
      entry.value += '\n';
      entry.value += value;
      return 1;
    }
    if (collected.duplicate.empty()) {
      collected.duplicate = std::string("'") + key + "' in section [" + section + "]";
      collected.duplicateLine = collected.reader.line;
      collected.firstLine = entry.line;
    }
    return 0;
  }
  collected.items.push_back({section, key, value, collected.reader.line});
  collected.last = collected.items.size() - 1;
  return 1;
}

// The number (from 1) of the first line holding a NUL byte, or 0. inih reads the text only up to
// its first NUL, so whatever followed would be lost without a word.
int firstNulLine(const std::string& content) {
  const std::size_t at = content.find('\0');
  if (at == std::string::npos) return 0;
  return 1 + static_cast<int>(std::count(content.begin(), content.begin() + at, '\n'));
}

}  // namespace

FileIniFile::FileIniFile(std::string home) : home_(std::move(home)) {}

void FileIniFile::OpenFile(const std::string& path) {
  entries_.clear();
  path_ = path;
  const std::string content = readWholeFile(path);
  if (const int line = firstLongLine(content); line != 0) {
    raise(err::kInvalidCall, "line " + std::to_string(line) + " of '" + path + "' is longer than " +
                                 std::to_string(kMaxLineBytes) + " bytes");
  }
  if (const int line = firstNulLine(content); line != 0) {
    raise(err::kInvalidCall,
          "line " + std::to_string(line) + " of '" + path + "' holds a NUL byte");
  }
  LineReader reader{content};
  Collected collected{reader, {}, std::string::npos, "", 0, 0, false};
  const int result = client::parseIniStream(&LineReader::read, &reader, &collect, &collected);
  if (result > 0 && result == collected.duplicateLine) {
    raise(err::kInvalidCall, "key " + collected.duplicate + " given again at line " +
                                 std::to_string(result) + " of '" + path + "' (first at line " +
                                 std::to_string(collected.firstLine) + ")");
  }
  if (result > 0) {
    raise(err::kInvalidCall, "cannot read line " + std::to_string(result) + " of '" + path + "'" +
                                 (collected.longName ? " (section names and keys may be at most " +
                                                           std::to_string(kMaxNameBytes) + " bytes)"
                                                     : ""));
  }
  if (result < 0) client::raiseFileError(path, 0, true);
  for (Item& item : collected.items) {
    entries_.push_back(
        {std::move(item.section), std::move(item.key), std::move(item.value), item.line});
  }
}

std::string FileIniFile::ReadValue(std::string& section, std::string& key) {
  for (const Entry& entry : entries_) {
    if (equalsIgnoreCase(entry.section, section) && equalsIgnoreCase(entry.key, key)) {
      return entry.value;
    }
  }
  return "";
}

std::vector<std::pair<std::string, std::string>> FileIniFile::Section(
    const std::string& section) const {
  std::vector<std::pair<std::string, std::string>> result;
  for (const Entry& entry : entries_) {
    if (equalsIgnoreCase(entry.section, section)) result.emplace_back(entry.key, entry.value);
  }
  return result;
}

std::function<std::shared_ptr<IniFile>()> iniFileFactory(const std::string& home) {
  return [home]() -> std::shared_ptr<IniFile> { return std::make_shared<FileIniFile>(home); };
}

}  // namespace velmora
