#pragma once

#include <memory>

#include "app/centred_dialog.h"
#include "platform/dialogs.h"

namespace Ui {
class TDbLogin;
}

namespace app {

// The Access connection's login prompt "Database Login": the database's
// path, the user name and two masked passwords (user and database), "Ok"
// (the default button) and "Cancel".
class TDbLogin : public CentredDialog {
  Q_OBJECT

 public:
  // Shows `login.database`, presets the user name from `login.userName`;
  // both passwords start empty and the user name has the focus.
  explicit TDbLogin(const platform::LoginRequest& login, QWidget* parent = nullptr);
  ~TDbLogin() override;
  TDbLogin(const TDbLogin&) = delete;
  TDbLogin& operator=(const TDbLogin&) = delete;

  // Copies the three edits into `login` (the database stays).
  void CopyEntriesTo(platform::LoginRequest& login) const;

 private:
  std::unique_ptr<Ui::TDbLogin> ui_;
};

}  // namespace app
