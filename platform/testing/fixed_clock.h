#pragma once

// A clock for tests that shows the time it was set to.

#include "platform/clock.h"

namespace platform::testing {

class FixedClock : public Clock {
 public:
  explicit FixedClock(TDateTime now) : now_(now) {}
  TDateTime Now() const override { return now_; }
  void Set(TDateTime now) { now_ = now; }

 private:
  TDateTime now_;
};

}  // namespace platform::testing
