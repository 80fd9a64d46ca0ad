#include "common/run.hpp"

#include "common/text.hpp"

namespace velmora {

MesQueries Run::mes() const {
  return mesDatabase(context);
}

void Run::addLotDeviation(const std::string& entry) {
  lotDeviations = joinText(lotDeviations, entry);
}

}  // namespace velmora
