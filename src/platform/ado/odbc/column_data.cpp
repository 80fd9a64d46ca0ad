#include "platform/ado/odbc/column_data.hpp"

#include <charconv>
#include <cstdint>
#include <vector>

namespace velmora::ado::odbc {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::optional<std::string> readPieces(const GetData& getData, std::size_t terminatorBytes,
                                      std::size_t chunkBytes) {
  if (chunkBytes <= terminatorBytes) chunkBytes = terminatorBytes + 1;
  std::vector<char> buffer(chunkBytes);
  const std::size_t room = chunkBytes - terminatorBytes;  // data bytes one call can deliver
  std::string value;
  bool first = true;
  while (true) {
    const Piece piece = getData(buffer.data(), static_cast<SQLLEN>(buffer.size()));
    if (piece.rc == SQL_NO_DATA) {
      // Everything was delivered by earlier calls (or, on a first call, an empty value).
      return value;
    }
    if (piece.indicator == SQL_NULL_DATA) {
      if (first) return std::nullopt;
      return value;
    }
    first = false;
    const bool cut =
        piece.indicator == SQL_NO_TOTAL || static_cast<std::size_t>(piece.indicator) > room;
    if (cut) {
      value.append(buffer.data(), room);
      continue;
    }
    value.append(buffer.data(), static_cast<std::size_t>(piece.indicator));
    return value;
  }
}

Variant numericValue(std::string_view text) {
  std::string_view body = text;
  while (!body.empty() && body.front() == ' ') body.remove_prefix(1);
  while (!body.empty() && body.back() == ' ') body.remove_suffix(1);
  const std::string_view original = body;
  bool negative = false;
  if (!body.empty() && (body.front() == '+' || body.front() == '-')) {
    negative = body.front() == '-';
    body.remove_prefix(1);
  }
  // Plain decimal: digits, optionally "." and digits.
  std::size_t i = 0;
  while (i < body.size() && isDigit(body[i])) ++i;
  const std::size_t integerDigits = i;
  bool plain = false;
  bool wholeNumber = false;
  if (i == body.size()) {
    plain = integerDigits > 0;
    wholeNumber = plain;
  } else if (body[i] == '.') {
    ++i;
    const std::size_t fractionStart = i;
    bool zeroFraction = true;
    while (i < body.size() && isDigit(body[i])) {
      if (body[i] != '0') zeroFraction = false;
      ++i;
    }
    plain = i == body.size() && (integerDigits > 0 || i > fractionStart);
    wholeNumber = plain && zeroFraction;
  }
  if (wholeNumber) {
    const std::string_view digits = body.substr(0, integerDigits);
    if (digits.empty()) return Variant(std::int64_t{0});
    std::string signedDigits = negative ? "-" : "";
    signedDigits.append(digits);
    std::int64_t whole = 0;
    const auto [end, ec] =
        std::from_chars(signedDigits.data(), signedDigits.data() + signedDigits.size(), whole);
    if (ec == std::errc() && end == signedDigits.data() + signedDigits.size()) {
      return Variant(whole);
    }
    // Too large for 64 bits: a double, as below.
  }
  // from_chars takes neither a leading "+" nor a missing leading digit the same way everywhere:
  // hand it the sign and a "0" before a bare ".".
  std::string number = negative ? "-" : "";
  if (!body.empty() && body.front() == '.') number += '0';
  number.append(body);
  double value = 0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  const bool startsLikeNumber =
      !body.empty() &&
      (isDigit(body.front()) || (body.front() == '.' && body.size() > 1 && isDigit(body[1])));
  if (startsLikeNumber && ec == std::errc() && end == number.data() + number.size()) {
    return Variant(value);
  }
  return Variant(std::string(original));
}

}  // namespace velmora::ado::odbc
