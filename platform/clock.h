#pragma once

// The current local date and time; replaceable for tests.

#include "platform/date_time.h"
#include "platform/scoped_install.h"

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

// Installs a clock for Now() during its lifetime; scopes nest.
using ScopedClock = ScopedInstall<const Clock>;

}  // namespace platform
