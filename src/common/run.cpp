#include "common/run.hpp"

#include "common/text.hpp"

namespace velmora {

std::string flagText(Flag flag) {
  switch (flag) {
    case Flag::kYes:
      return "Y";
    case Flag::kNo:
      return "N";
    case Flag::kUnset:
      break;
  }
  return "";
}

void Run::addLotDeviation(const std::string& entry) {
  lotDeviations = joinText(lotDeviations, entry);
}

}  // namespace velmora
