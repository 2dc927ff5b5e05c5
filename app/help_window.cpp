#include "app/help_window.h"

#include <QScrollBar>

#include "app/guarded_handler.h"
#include "ui_help_window.h"

namespace app {

THilfe::THilfe(QWidget* parent) : CentredDialog(parent), ui_(std::make_unique<Ui::THilfe>()) {
  ui_->setupUi(this);
  FixClientSize();
  ConnectGuarded(ui_->Button1, &QPushButton::clicked, this, &THilfe::Button1Click);
}

THilfe::~THilfe() = default;

void THilfe::Button1Click() { close(); }

void THilfe::showEvent(QShowEvent* event) {
  ui_->Memo1->moveCursor(QTextCursor::Start);
  ui_->Memo1->verticalScrollBar()->setValue(0);
  ui_->Memo1->horizontalScrollBar()->setValue(0);
  CentredDialog::showEvent(event);
}

}  // namespace app
