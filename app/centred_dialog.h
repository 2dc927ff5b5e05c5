#pragma once

#include <QDialog>

namespace app {

// Base of the converter's modal windows: a dialog border (no minimise or
// maximise button), a fixed size, and centred on the screen whenever shown.
class CentredDialog : public QDialog {
  Q_OBJECT

 protected:
  explicit CentredDialog(QWidget* parent);

  // Makes the size the form gave the window its fixed client size; called
  // by the subclass once its form is built.
  void FixClientSize();

  void showEvent(QShowEvent* event) override;
};

}  // namespace app
