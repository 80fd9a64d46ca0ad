#include "platform/ado/connection.hpp"
#include "velmora/error.hpp"

namespace velmora::ado {
namespace {

constexpr long kCmdUnknown = 8;               // adCmdUnknown: taken as text
constexpr std::int32_t kBadArguments = 3001;  // adErrInvalidArgument

}  // namespace

std::shared_ptr<Recordset> Command::Execute(long /*options*/) {
  if (ActiveConnection == nullptr) raise(err::kObjectNotSet, "Command.ActiveConnection");
  if (CommandType != kCmdText && CommandType != kCmdUnknown) {
    throw AutomationError(kBadArguments,
                          "Arguments are of the wrong type, are out of acceptable range, or are "
                          "in conflict with one another.: CommandType " +
                              std::to_string(CommandType) + " (only text commands are supported)");
  }
  return ActiveConnection->Execute(CommandText);
}

}  // namespace velmora::ado
