#pragma once

#include <memory>

#include "app/centred_dialog.h"

namespace Ui {
class TUeber;
}

namespace app {

// The about window "Über": name, version, rights notice and credits of the
// converter; "&OK" closes it. Created hidden at start-up, shown modally.
class TUeber : public CentredDialog {
  Q_OBJECT

 public:
  explicit TUeber(QWidget* parent = nullptr);
  ~TUeber() override;
  TUeber(const TUeber&) = delete;
  TUeber& operator=(const TUeber&) = delete;

 private:
  void Button1Click();

  std::unique_ptr<Ui::TUeber> ui_;
};

}  // namespace app
