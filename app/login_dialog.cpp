#include "app/login_dialog.h"

#include "app/star_mask.h"
#include "ui_login_dialog.h"

namespace app {

TDbLogin::TDbLogin(const platform::LoginRequest& login, QWidget* parent)
    : CentredDialog(parent), ui_(std::make_unique<Ui::TDbLogin>()) {
  ui_->setupUi(this);
  FixClientSize();
  MaskWithStars(*ui_->PasswordEdit);
  MaskWithStars(*ui_->DatabasePasswordEdit);
  ui_->DatabaseText->setText(QString::fromStdString(login.database));
  ui_->DatabaseText->setToolTip(ui_->DatabaseText->text());
  ui_->UserNameEdit->setText(QString::fromStdString(login.userName));
  ui_->UserNameEdit->setFocus();
  connect(ui_->OkButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(ui_->CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

TDbLogin::~TDbLogin() = default;

void TDbLogin::CopyEntriesTo(platform::LoginRequest& login) const {
  login.userName = ui_->UserNameEdit->text().toStdString();
  login.password = ui_->PasswordEdit->text().toStdString();
  login.databasePassword = ui_->DatabasePasswordEdit->text().toStdString();
}

}  // namespace app
