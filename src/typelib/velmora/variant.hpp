// Variant: a loose value as automation hands it around.
//
// Table cells, record-set fields and collection keys are Variants. A value keeps the type the
// database delivered (a WAFERSEQ read as a number stays a number), because the result summary
// compares values by type. Conversions follow the automation rules: text is made by appending
// to the empty text, a Null taken as a number is error 94, a non-numeric text where a number is
// required is error 13.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "velmora/export.h"

namespace velmora {

class VELMORA_EXPORT Variant {
 public:
  enum class Type { Empty, Null, Integer, Double, Text, Boolean };

  Variant() = default;  // Empty
  Variant(int value) : value_(static_cast<std::int64_t>(value)) {}
  Variant(std::int64_t value) : value_(value) {}
  Variant(double value) : value_(value) {}
  Variant(bool value) : value_(value) {}
  Variant(std::string value) : value_(std::move(value)) {}
  Variant(std::string_view value) : value_(std::string(value)) {}
  Variant(const char* value) : value_(std::string(value)) {}

  static Variant null();

  Type type() const;
  bool isEmpty() const { return type() == Type::Empty; }
  bool isNull() const { return type() == Type::Null; }
  bool isText() const { return type() == Type::Text; }
  // Integer, Double or Boolean.
  bool isNumeric() const;

  // The value appended to the empty text: Empty and Null give "", integers their decimal form,
  // doubles their shortest round-trip form without a trailing ".0", booleans "True"/"False".
  std::string toText() const;

  // As toText, except that Null is error 94: for the places where taking a Null as text fails.
  std::string toTextStrict() const;

  // The value as a double: Empty is 0, Null is error 94, a text must read as a number (blanks
  // around it allowed) or it is error 13, True is -1.
  double toDouble() const;

  // The value narrowed to single precision (error 6 when out of range) and widened back, as a
  // limit that the MES stores as a single-precision number is compared.
  double toSingle() const;

  // The value as a whole number, rounding halves to even (error 6 when out of 64-bit range).
  std::int64_t toInteger() const;

  // Raw access; each requires the matching type.
  std::int64_t integer() const { return std::get<std::int64_t>(value_); }
  double real() const { return std::get<double>(value_); }
  const std::string& text() const { return std::get<std::string>(value_); }
  bool boolean() const { return std::get<bool>(value_); }

  friend bool operator==(const Variant&, const Variant&) = default;

 private:
  struct NullTag {
    friend bool operator==(NullTag, NullTag) = default;
  };
  std::variant<std::monostate, NullTag, std::int64_t, double, std::string, bool> value_;
};

// A double in its shortest round-trip decimal form without a trailing ".0" (97.5, 100, 0.12).
VELMORA_EXPORT std::string formatDouble(double value);

// Reads a text as a number the way a numeric conversion does: blanks around it are allowed, the
// rest must be a decimal number. Returns false when the text is not a number.
VELMORA_EXPORT bool parseNumber(std::string_view text, double& out);

}  // namespace velmora
