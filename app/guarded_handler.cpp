#include "app/guarded_handler.h"

#include <exception>
#include <iostream>

#include "app/application_title.h"
#include "platform/dialogs.h"
#include "platform/errors.h"

namespace app {
namespace {

// Shown for a thrown object that is no std::exception and so has no message.
constexpr char kUnknownErrorText[] = "Unbekannter Fehler";

void ShowErrorBox(std::string_view message) noexcept {
  try {
    // The application shows the box, not a window: it has no owner.
    platform::ShowMessage(nullptr, kApplicationTitle, ErrorBoxText(message),
                          platform::MessageIcon::kError);
  } catch (...) {
    // Showing the box failed too (e.g. out of memory); standard error is the
    // last place left to report the original error.
    std::cerr << kApplicationTitle << ": " << message << '\n';
  }
}

}  // namespace

std::string ErrorBoxText(std::string_view message) {
  std::string text(message);
  // Compared as unsigned bytes, as the ANSI code page compares characters:
  // a text ending in a letter beyond ASCII (UTF-8 lead and continuation
  // bytes are all above ".") gets its full stop too.
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  return text;
}

void ErrorBoxDisplay::ShowError(const std::exception& error) noexcept { ShowErrorBox(error.what()); }

void RunGuarded(const std::function<void()>& handler) noexcept {
  try {
    handler();
  } catch (const platform::EAbort&) {
    // The silent kind: the action ends and nobody is told.
  } catch (const std::exception& error) {
    ShowErrorBox(error.what());
  } catch (...) {
    ShowErrorBox(kUnknownErrorText);
  }
}

}  // namespace app
