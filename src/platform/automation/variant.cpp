#include "velmora/variant.hpp"

#include <charconv>
#include <cmath>
#include <limits>

#include "velmora/error.hpp"

namespace velmora {

Variant Variant::null() {
  Variant v;
  v.value_ = NullTag{};
  return v;
}

Variant::Type Variant::type() const {
  switch (value_.index()) {
    case 0:
      return Type::Empty;
    case 1:
      return Type::Null;
    case 2:
      return Type::Integer;
    case 3:
      return Type::Double;
    case 4:
      return Type::Text;
    default:
      return Type::Boolean;
  }
}

bool Variant::isNumeric() const {
  const Type t = type();
  return t == Type::Integer || t == Type::Double || t == Type::Boolean;
}

std::string Variant::toText() const {
  switch (type()) {
    case Type::Empty:
    case Type::Null:
      return "";
    case Type::Integer:
      return std::to_string(integer());
    case Type::Double:
      return formatDouble(real());
    case Type::Text:
      return text();
    case Type::Boolean:
      return boolean() ? "True" : "False";
  }
  return "";
}

std::string Variant::toTextStrict() const {
  if (isNull()) raise(err::kInvalidNull);
  return toText();
}

double Variant::toDouble() const {
  switch (type()) {
    case Type::Empty:
      return 0.0;
    case Type::Null:
      raise(err::kInvalidNull);
    case Type::Integer:
      return static_cast<double>(integer());
    case Type::Double:
      return real();
    case Type::Boolean:
      return boolean() ? -1.0 : 0.0;
    case Type::Text: {
      double out = 0;
      if (!parseNumber(text(), out)) raise(err::kTypeMismatch, "'" + text() + "' is not a number");
      return out;
    }
  }
  return 0.0;
}

double Variant::toSingle() const {
  const double d = toDouble();
  if (std::isfinite(d) && std::fabs(d) > static_cast<double>(std::numeric_limits<float>::max())) {
    raise(err::kOverflow);
  }
  return static_cast<double>(static_cast<float>(d));
}

std::int64_t Variant::toInteger() const {
  if (type() == Type::Integer) return integer();
  const double d = std::nearbyint(toDouble());  // default rounding mode: halves to even
  if (!(d >= -9.2233720368547758e18 && d < 9.2233720368547758e18)) raise(err::kOverflow);
  return static_cast<std::int64_t>(d);
}

std::string formatDouble(double value) {
  if (value == 0.0) return "0";  // also -0
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  if (ec != std::errc()) return std::to_string(value);
  std::string out(buffer, end);
  return out;
}

bool parseNumber(std::string_view text, double& out) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
  while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  if (begin == end) return false;
  if (text[begin] == '+') {
    ++begin;
    if (begin == end || text[begin] == '-' || text[begin] == '+') return false;
  }
  const char* first = text.data() + begin;
  const char* last = text.data() + end;
  auto [ptr, ec] = std::from_chars(first, last, out, std::chars_format::general);
  return ec == std::errc() && ptr == last && std::isfinite(out);
}

}  // namespace velmora
