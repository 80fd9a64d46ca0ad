#include "client/ini_stream.hpp"

#ifndef _WIN32
#include <ini.h>
#endif

namespace velmora::client {

#ifndef _WIN32
static_assert(INI_MAX_LINE == kIniLineBuffer, "inih's line buffer is not the one assumed");
#endif

int parseIniStream(IniReader reader, void* stream, IniHandler handler, void* user) {
#ifdef _WIN32
  return parseIniLines(reader, stream, handler, user);
#else
  return ini_parse_stream(reader, stream, handler, user);
#endif
}

}  // namespace velmora::client
