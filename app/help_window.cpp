#include "app/help_window.h"

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

}  // namespace app
