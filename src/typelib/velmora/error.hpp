// Automation errors: the one failure type of the component and its platform layer.
//
// A failure carries a number and a description, as automation run-time errors do, so that trace
// entries read "13:Type mismatch" the way integrators of the MES expect. Database failures carry
// the driver's native error number (or kGenericFailure) and the driver's message.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace velmora {

class AutomationError : public std::runtime_error {
 public:
  AutomationError(std::int32_t number, std::string description);

  std::int32_t number() const { return number_; }
  const std::string& description() const { return description_; }

 private:
  std::int32_t number_;
  std::string description_;
};

// Well-known automation run-time error numbers.
namespace err {
inline constexpr std::int32_t kInvalidCall = 5;
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kSubscript = 9;
inline constexpr std::int32_t kDivisionByZero = 11;
inline constexpr std::int32_t kTypeMismatch = 13;
inline constexpr std::int32_t kObjectNotSet = 91;
inline constexpr std::int32_t kInvalidNull = 94;
inline constexpr std::int32_t kCannotCreate = 429;
inline constexpr std::int32_t kDuplicateKey = 457;
inline constexpr std::int32_t kNoCurrentRecord = 3021;
inline constexpr std::int32_t kItemNotFound = 3265;
// E_FAIL: a database failure whose driver reports no native number.
inline constexpr std::int32_t kGenericFailure = -2147467259;
}  // namespace err

// Raises the automation error `number` with its standard description.
[[noreturn]] void raise(std::int32_t number);

// Raises `number` with the standard description followed by ": " and `detail`, so that the
// trace names the key, field or value at fault.
[[noreturn]] void raise(std::int32_t number, const std::string& detail);

// The standard description of a well-known number ("" for other numbers).
std::string describe(std::int32_t number);

}  // namespace velmora
