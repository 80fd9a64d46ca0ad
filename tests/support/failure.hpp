// The automation error an action raises, for tests that look at its number and description.
#pragma once

#include <gtest/gtest.h>

#include "velmora/error.hpp"

namespace velmora::testing {

// Runs `action` and returns the AutomationError it raised; a test failure when it raised none.
template <class F>
AutomationError failureOf(F&& action) {
  try {
    action();
  } catch (const AutomationError& error) {
    return error;
  }
  ADD_FAILURE() << "no failure";
  return AutomationError(0, "");
}

}  // namespace velmora::testing
