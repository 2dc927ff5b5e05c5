#pragma once

// The application's standard display of an error that cannot be passed on to
// a caller (one raised inside a notification or a destructor). The
// application installs the display it uses for the errors of its handlers;
// without one, the error is shown in a plain message box with the error icon.

#include <exception>

#include "platform/scoped_install.h"

namespace platform {

class ErrorDisplay {
 public:
  virtual ~ErrorDisplay() = default;
  // Shows `error` to the user; never throws.
  virtual void ShowError(const std::exception& error) noexcept = 0;
};

// Hands `error` to the display in force; EAbort, the silent kind, is shown
// by nobody.
void ShowApplicationError(const std::exception& error) noexcept;

// Installs a display for its lifetime; scopes nest.
using ScopedErrorDisplay = ScopedInstall<ErrorDisplay>;

}  // namespace platform
