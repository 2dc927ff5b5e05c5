#include "platform/error_display.h"

#include <iostream>

#include "platform/dialogs.h"
#include "platform/errors.h"

namespace platform {
namespace {

class MessageBoxErrorDisplay : public ErrorDisplay {
 public:
  void ShowError(const std::exception& error) noexcept override {
    try {
      ShowMessage(nullptr, "", error.what(), MessageIcon::kError);
    } catch (...) {
      // Showing the box failed too; standard error is the last place left.
      std::cerr << error.what() << '\n';
    }
  }
};

}  // namespace

void ShowApplicationError(const std::exception& error) noexcept {
  if (dynamic_cast<const EAbort*>(&error) != nullptr) return;
  static MessageBoxErrorDisplay fallback;
  detail::InstalledOr<ErrorDisplay>(fallback).ShowError(error);
}

}  // namespace platform
