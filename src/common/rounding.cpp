#include "common/rounding.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace velmora {

double roundHalfEvenToHundredths(double value) {
  if (!std::isfinite(value)) return value;
  // The shortest fixed-point text that reads back as `value`: the decimal digits a reader sees.
  char buffer[400];
  const auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  if (ec != std::errc()) return value;
  const std::string text(buffer, end);
  const std::size_t point = text.find('.');
  if (point == std::string::npos || text.size() - point - 1 <= 2) return value;

  // Doubles with a fraction are below 2^53, so the hundredths fit a 64-bit integer.
  const bool negative = text[0] == '-';
  std::int64_t hundredths = 0;
  for (std::size_t i = negative ? 1 : 0; i < point + 3; ++i) {
    if (i != point) hundredths = hundredths * 10 + (text[i] - '0');
  }
  const char next = text[point + 3];
  const bool restNonZero = text.find_first_not_of('0', point + 4) != std::string::npos;
  const bool halfway = next == '5' && !restNonZero;
  if (next > '5' || (next == '5' && restNonZero) || (halfway && hundredths % 2 != 0)) {
    ++hundredths;
  }
  const double magnitude = static_cast<double>(hundredths) / 100;
  return negative ? -magnitude : magnitude;
}

}  // namespace velmora
