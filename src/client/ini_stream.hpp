// The INI grammar FileIniFile reads with: inih's ini_parse_stream as Debian builds it (no INI_*
// option given, so ini.h's defaults): "[section]" lines, "name=value" or "name: value" lines
// with blanks around names and values dropped, comment lines starting with ";" or "#", comments
// from a ";" that follows a blank, continuation lines (a line starting with a blank continues the
// previous value), a UTF-8 byte-order mark skipped, lines read into a buffer of kIniLineBuffer
// bytes, section names and keys kept in 50 bytes, parsing going on after an error.
#pragma once

#include <cstddef>

namespace velmora::client {

inline constexpr std::size_t kIniLineBuffer = 200;

// Fills `buffer` (of `size` bytes) with the next line, NUL-terminated; null at the end.
using IniReader = char* (*)(char* buffer, int size, void* stream);
// Called for each value; returns 0 to mark the line as an error.
using IniHandler = int (*)(void* user, const char* section, const char* name, const char* value);

// 0 when every line was read without error, else the number of the first line in error. Debian's
// inih where the build has it (Linux), parseIniLines on Windows.
int parseIniStream(IniReader reader, void* stream, IniHandler handler, void* user);

// The same grammar, our own: what the Windows build parses with, since Debian's inih sources
// cannot be had on every build machine. Held to inih by a test on Linux.
int parseIniLines(IniReader reader, void* stream, IniHandler handler, void* user);

}  // namespace velmora::client
