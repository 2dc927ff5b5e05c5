#include "app/about_window.h"

#include "app/guarded_handler.h"
#include "app/pictures.h"
#include "app/window_placement.h"
#include "ui_about_window.h"

namespace app {

TUeber::TUeber(QWidget* parent) : CentredDialog(parent), ui_(std::make_unique<Ui::TUeber>()) {
  LoadPictures();
  ui_->setupUi(this);
  FitLabelsToText(*this);
  FixClientSize();
  ConnectGuarded(ui_->Button1, &QPushButton::clicked, this, &TUeber::Button1Click);
}

TUeber::~TUeber() = default;

void TUeber::Button1Click() { close(); }

}  // namespace app
