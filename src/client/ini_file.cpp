#include <ini.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "client/file_errors.hpp"
#include "platform/automation/text_compare.hpp"
#include "velmora/client.hpp"
#include "velmora/error.hpp"

namespace velmora {
namespace {

// inih reads lines of at most INI_MAX_LINE - 1 bytes (with the line end); longer lines would
// be cut into pieces silently.
constexpr std::size_t kMaxLineBytes = INI_MAX_LINE - 1;

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
  std::vector<Entry> entries;
  auto handler = [](void* user, const char* section, const char* key, const char* value) -> int {
    auto& list = *static_cast<std::vector<Entry>*>(user);
    for (Entry& entry : list) {
      if (equalsIgnoreCase(entry.section, section) && equalsIgnoreCase(entry.key, key)) {
        entry.value += '\n';
        entry.value += value;
        return 1;
      }
    }
    list.push_back({section, key, value});
    return 1;
  };
  const int result = ini_parse_string(content.c_str(), handler, &entries);
  if (result > 0) {
    raise(err::kInvalidCall, "cannot read line " + std::to_string(result) + " of '" + path + "'");
  }
  if (result < 0) client::raiseFileError(path, 0, true);
  entries_ = std::move(entries);
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
