// What the fuzz targets share: a property check that fails the run, and splitting an input
// into parts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

namespace velmora::fuzz {

// Ends the run with a message when `holds` is false; libFuzzer keeps the input that did it as
// the reproducer (crash-<hash> under the artifact prefix).
inline void require(bool holds, const char* property, std::string_view detail = {}) {
  if (holds) return;
  std::fprintf(stderr, "\nproperty violated: %s\n", property);
  std::fwrite(detail.data(), 1, detail.size(), stderr);
  std::fputc('\n', stderr);
  std::abort();
}

// The input as text.
inline std::string textOf(const std::uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// `text` split at its first `separator`: the part before it, and the part after it ("" when
// there is none).
inline std::pair<std::string, std::string> splitOnce(std::string_view text, char separator) {
  const std::size_t at = text.find(separator);
  if (at == std::string_view::npos) return {std::string(text), ""};
  return {std::string(text.substr(0, at)), std::string(text.substr(at + 1))};
}

}  // namespace velmora::fuzz
