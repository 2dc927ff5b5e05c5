#include "app/konvert_window.h"

#include <QKeyEvent>

#include "app/about_window.h"
#include "app/guarded_handler.h"
#include "app/help_window.h"
#include "app/homepage.h"
#include "app/pictures.h"
#include "app/window_placement.h"
#include "ui_konvert_window.h"

namespace app {
namespace {

constexpr char kSourceFilter[] = "Nutaro 3.x - 4.x (*.mdb)|*.mdb";
constexpr char kTargetFilter[] = "Nutaro 4.x (*.mdb)|*.mdb|Nutaro 5.x alpha (*.ntd)|*.ntd";

}  // namespace

TKonvert::TKonvert(QWidget* parent) : QMainWindow(parent), ui_(std::make_unique<Ui::TKonvert>()) {
  LoadPictures();
  ui_->setupUi(this);
  // Designer gives separators no name of their own; the help menu has one.
  for (QAction* item : ui_->ber1->actions()) {
    if (item->isSeparator()) item->setObjectName("N1");
  }
  FitLabelsToText(*this);

  // Fixed single border with system menu and minimise only.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());

  // The window opens with the focus on the default button, so that Enter
  // converts from the start.
  ui_->Button1->setFocus();

  fileOpen_.filter = kSourceFilter;
  fileSave_.filter = kTargetFilter;
  fileSave_.overwritePrompt = false;
  ConnectHandlers();
}

TKonvert::~TKonvert() = default;

void TKonvert::SetMenuWindows(TUeber* ueber, THilfe* hilfe) {
  ueber_ = ueber;
  hilfe_ = hilfe;
}

void TKonvert::ConnectHandlers() {
  ConnectGuarded(ui_->BitBtn1, &QPushButton::clicked, this, &TKonvert::BitBtn1Click);
  ConnectGuarded(ui_->BitBtn2, &QPushButton::clicked, this, &TKonvert::BitBtn2Click);
  ConnectGuarded(ui_->Button1, &QPushButton::clicked, this, &TKonvert::Button1Click);
  ConnectGuarded(ui_->BtZ50, &QPushButton::clicked, this, &TKonvert::BtZ50Click);
  ConnectGuarded(ui_->Beenden1, &QAction::triggered, this, &TKonvert::Beenden1Click);
  ConnectGuarded(ui_->Hilfe1, &QAction::triggered, this, &TKonvert::Hilfe1Click);
  ConnectGuarded(ui_->NutaroimInternet1, &QAction::triggered, this,
                 &TKonvert::NutaroimInternet1Click);
  ConnectGuarded(ui_->ber2, &QAction::triggered, this, &TKonvert::ber1Click);
}

void TKonvert::showEvent(QShowEvent* event) {
  CentreOnScreen(*this, *event);
  QMainWindow::showEvent(event);
}

void TKonvert::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
    QMainWindow::keyPressEvent(event);
    return;
  }
  // Qt offers default buttons only in dialogs, so the main window plays the
  // part: a key press reaches it when the focused control did not use it.
  auto* focused = qobject_cast<QPushButton*>(focusWidget());
  QPushButton* target = focused != nullptr ? focused : ui_->Button1;
  if (target->isVisible() && target->isEnabled()) target->click();
}

void TKonvert::BitBtn1Click() {
  // Choosing the source database comes with the selection handlers.
}

void TKonvert::BitBtn2Click() {
  // Choosing the target comes with the selection handlers.
}

void TKonvert::Button1Click() {
  // The conversion into the 4.x layout comes with the conversion handlers.
}

void TKonvert::BtZ50Click() {
  // The conversion into the 5.x table file comes with the conversion handlers.
}

void TKonvert::Beenden1Click() { close(); }

void TKonvert::Hilfe1Click() {
  if (hilfe_ != nullptr) hilfe_->exec();
}

void TKonvert::NutaroimInternet1Click() { OpenInBrowser(kHomepageAddress); }

void TKonvert::ber1Click() {
  if (ueber_ != nullptr) ueber_->exec();
}

}  // namespace app
