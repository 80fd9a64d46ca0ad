#include "common/run.hpp"

#include "common/text.hpp"
#include "common/trace.hpp"

namespace velmora {

MesDatabase& Run::mes() const {
  return mesDatabase(context);
}

void Run::addLotDeviation(const std::string& entry) {
  lotDeviations = joinText(lotDeviations, entry);
}

}  // namespace velmora
