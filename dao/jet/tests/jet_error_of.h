#pragma once
// The engine error an action raises, for the tests of the Jet engine.

#include <functional>

#include "dao/jet/jet_error.h"

namespace dao::jet::testing {

// Runs `action` and returns the number of the JetError it raised (0 for
// none); any other exception escapes.
inline int JetErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const JetError& error) {
    return error.Number();
  }
  return 0;
}

}  // namespace dao::jet::testing
