// Automation errors: the one failure type of the component and its platform layer.
//
// A failure carries a number and a description, as automation run-time errors do, so that trace
// entries read "13:Type mismatch" the way integrators of the MES expect. Database failures carry
// the driver's native error number (or kGenericFailure) and the driver's message.
//
// A failure also says what it means for a check run. When the database answered and the data
// it gave is unfit (no current record, a Null, a text that is no number, a division by zero, a
// server's data exception), the procedure where it happened traces it and the run goes on. When
// the database could not answer (a missing table or column, a statement it cannot run, a lock
// held past the timeout, an I/O error, a corrupt file, a lost connection, a statement timeout,
// no memory, no permission), the run ends with the result "" so that no caller is told "ok"
// with findings missing. The built-in drivers mark each failure they raise; a host's own
// MesDatabase may mark its failures the same way (otherwise the number decides, see
// endsCheckRun).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "velmora/export.h"

namespace velmora {

// What a failure means for the check run in which it happens.
enum class FailureKind {
  kByNumber,   // not marked: the number decides (endsCheckRun)
  kUnfitData,  // the database answered; the data is unfit (the run goes on)
  kNoAnswer,   // the database could not answer (the run ends)
};

class VELMORA_EXPORT AutomationError : public std::runtime_error {
 public:
  AutomationError(std::int32_t number, std::string description,
                  FailureKind kind = FailureKind::kByNumber);

  std::int32_t number() const { return number_; }
  const std::string& description() const { return description_; }
  FailureKind kind() const { return kind_; }

 private:
  std::int32_t number_;
  std::string description_;
  FailureKind kind_;
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
[[noreturn]] VELMORA_EXPORT void raise(std::int32_t number);

// Raises `number` with the standard description followed by ": " and `detail`, so that the
// trace names the key, field or value at fault.
[[noreturn]] VELMORA_EXPORT void raise(std::int32_t number, const std::string& detail);

// The standard description of a well-known number ("" for other numbers).
VELMORA_EXPORT std::string describe(std::int32_t number);

// Whether `error` ends a check run rather than being traced and passed over: true for a failure
// marked kNoAnswer, false for one marked kUnfitData. An unmarked failure is data answering unfit
// only when its number is one of 3021 (no current record), 94 (invalid use of Null), 13 (type
// mismatch), 11 (division by zero), 6 (overflow), 5 and 9 (a key or argument not found); any
// other number ends the run.
VELMORA_EXPORT bool endsCheckRun(const AutomationError& error);

}  // namespace velmora
