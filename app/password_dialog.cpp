#include "app/password_dialog.h"

#include "app/star_mask.h"
#include "ui_password_dialog.h"

namespace app {

PasswordDialog::PasswordDialog(const QString& password, QWidget* parent)
    : CentredDialog(parent), ui_(std::make_unique<Ui::PasswordDialog>()) {
  ui_->setupUi(this);
  FixClientSize();
  MaskWithStars(*ui_->Password);
  ui_->Password->setText(password);
  ui_->Password->selectAll();
  ui_->Password->setFocus();
  connect(ui_->OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(ui_->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

PasswordDialog::~PasswordDialog() = default;

QString PasswordDialog::Password() const { return ui_->Password->text(); }

}  // namespace app
