#include "app/konverter_windows.h"

#include "app/about_window.h"
#include "app/help_window.h"
#include "app/konvert_window.h"

namespace app {

KonverterWindows::KonverterWindows()
    : konvert_(std::make_unique<TKonvert>()),
      ueber_(std::make_unique<TUeber>()),
      hilfe_(std::make_unique<THilfe>()) {
  konvert_->SetMenuWindows(ueber_.get(), hilfe_.get());
}

KonverterWindows::~KonverterWindows() = default;

}  // namespace app
