#pragma once

#include <memory>

namespace app {

class TKonvert;
class TUeber;
class THilfe;

// The application's three windows, created hidden in the order main window
// "Konvert", about window "Ueber", help window "Hilfe", and destroyed in the
// reverse order. The main window shows the other two from its help menu.
class KonverterWindows {
 public:
  KonverterWindows();
  ~KonverterWindows();
  KonverterWindows(const KonverterWindows&) = delete;
  KonverterWindows& operator=(const KonverterWindows&) = delete;

  TKonvert& Konvert() { return *konvert_; }
  TUeber& Ueber() { return *ueber_; }
  THilfe& Hilfe() { return *hilfe_; }

 private:
  std::unique_ptr<TKonvert> konvert_;
  std::unique_ptr<TUeber> ueber_;
  std::unique_ptr<THilfe> hilfe_;
};

}  // namespace app
