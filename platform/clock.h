#pragma once

// The current local date and time; replaceable for tests.

#include "platform/date_time.h"

namespace platform {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual TDateTime Now() const = 0;
};

// Now from the current clock (by default the system clock in local time,
// to the millisecond).
TDateTime Now();

// Today's date (Now() without the time of day).
TDateTime Today();

// Installs `clock` for Now() during its lifetime; scopes nest.
class ScopedClock {
 public:
  explicit ScopedClock(const Clock& clock);
  ~ScopedClock();
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;

 private:
  const Clock* previous_;
};

}  // namespace platform
