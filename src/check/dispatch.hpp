// Which checks judge an EDC item, by its item type.
#pragma once

#include "common/run.hpp"

namespace velmora {

enum class ItemOutcome {
  kDone,     // the item is judged (or skipped); the run goes on with the next item
  kSqlFail,  // the inspection connection could not be opened: the run ends with "SqlFail"
};

// Runs the checks of run.item. Failures of the checks reach the caller and end the run.
ItemOutcome dispatchItem(Run& run);

}  // namespace velmora
