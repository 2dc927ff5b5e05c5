#include "app/star_mask.h"

#include <QLineEdit>

namespace app {

void MaskWithStars(QLineEdit& edit) {
  edit.setEchoMode(QLineEdit::Password);
  edit.setStyleSheet("lineedit-password-character: 42");  // 42 is "*"
}

}  // namespace app
