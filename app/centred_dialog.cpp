#include "app/centred_dialog.h"

#include "app/window_placement.h"

namespace app {

CentredDialog::CentredDialog(QWidget* parent) : QDialog(parent) {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

void CentredDialog::FixClientSize() { setFixedSize(size()); }

void CentredDialog::showEvent(QShowEvent* event) {
  CentreOnScreen(*this, *event);
  QDialog::showEvent(event);
}

}  // namespace app
