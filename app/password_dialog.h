#pragma once

#include <QString>
#include <memory>

#include "app/centred_dialog.h"

namespace Ui {
class PasswordDialog;
}

namespace app {

// The table-file engine's password prompt "Passwort:": one masked line of at
// most 255 characters, "OK" (the default button) and "Abbrechen".
class PasswordDialog : public CentredDialog {
  Q_OBJECT

 public:
  // The line starts with `password`, fully selected, and has the focus.
  explicit PasswordDialog(const QString& password, QWidget* parent = nullptr);
  ~PasswordDialog() override;
  PasswordDialog(const PasswordDialog&) = delete;
  PasswordDialog& operator=(const PasswordDialog&) = delete;

  // What the line holds now.
  QString Password() const;

 private:
  std::unique_ptr<Ui::PasswordDialog> ui_;
};

}  // namespace app
