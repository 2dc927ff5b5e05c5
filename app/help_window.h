#pragma once

#include <memory>

#include "app/centred_dialog.h"

namespace Ui {
class THilfe;
}

namespace app {

// The help window "Hilfe": the help text in a read-only field and "&OK",
// which closes it. Created hidden at start-up and shown modally on demand.
class THilfe : public CentredDialog {
  Q_OBJECT

 public:
  explicit THilfe(QWidget* parent = nullptr);
  ~THilfe() override;
  THilfe(const THilfe&) = delete;
  THilfe& operator=(const THilfe&) = delete;

 protected:
  // The window keeps nothing between showings: it opens at the top of the text.
  void showEvent(QShowEvent* event) override;

 private:
  void Button1Click();

  std::unique_ptr<Ui::THilfe> ui_;
};

}  // namespace app
