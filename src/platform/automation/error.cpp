#include "velmora/error.hpp"

namespace velmora {

AutomationError::AutomationError(std::int32_t number, std::string description, FailureKind kind)
    : std::runtime_error(std::to_string(number) + ":" + description),
      number_(number),
      description_(std::move(description)),
      kind_(kind) {}

bool endsCheckRun(const AutomationError& error) {
  switch (error.kind()) {
    case FailureKind::kNoAnswer:
      return true;
    case FailureKind::kUnfitData:
      return false;
    case FailureKind::kByNumber:
      break;
  }
  switch (error.number()) {
    case err::kNoCurrentRecord:
    case err::kInvalidNull:
    case err::kTypeMismatch:
    case err::kDivisionByZero:
    case err::kOverflow:
    case err::kInvalidCall:
    case err::kSubscript:
      return false;
    default:
      return true;
  }
}

std::string describe(std::int32_t number) {
  switch (number) {
    case err::kInvalidCall:
      return "Invalid procedure call or argument";
    case err::kOverflow:
      return "Overflow";
    case err::kSubscript:
      return "Subscript out of range";
    case err::kDivisionByZero:
      return "Division by zero";
    case err::kTypeMismatch:
      return "Type mismatch";
    case err::kObjectNotSet:
      return "Object variable or With block variable not set";
    case err::kInvalidNull:
      return "Invalid use of Null";
    case err::kCannotCreate:
      return "ActiveX component can't create object";
    case err::kDuplicateKey:
      return "This key is already associated with an element of this collection";
    case err::kNoCurrentRecord:
      return "Either BOF or EOF is True, or the current record has been deleted. Requested "
             "operation requires a current record.";
    case err::kItemNotFound:
      return "Item cannot be found in the collection corresponding to the requested name or "
             "ordinal.";
    default:
      return "";
  }
}

void raise(std::int32_t number) {
  throw AutomationError(number, describe(number));
}

void raise(std::int32_t number, const std::string& detail) {
  std::string text = describe(number);
  throw AutomationError(number, text.empty() ? detail : text + ": " + detail);
}

}  // namespace velmora
