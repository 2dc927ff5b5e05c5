#pragma once

// How much longer the heavy randomised tests run than in the normal suite:
// the number in the environment variable NUTARO_STRESS (1 when unset), so
// that `NUTARO_STRESS=20 ctest -R kill` runs twenty times the kill runs.

#include <algorithm>
#include <cstdlib>

namespace platform::testing {

inline int StressFactor() {
  const char* text = std::getenv("NUTARO_STRESS");
  return text == nullptr ? 1 : std::max(1, std::atoi(text));
}

}  // namespace platform::testing
