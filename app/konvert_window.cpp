#include "app/konvert_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>

#include "app/about_window.h"
#include "app/guarded_handler.h"
#include "app/help_window.h"
#include "app/homepage.h"
#include "app/pictures.h"
#include "app/qt_dialogs.h"
#include "app/window_placement.h"
#include "ui_konvert_window.h"

namespace app {
namespace {

using converter::CheckBox;
using converter::Control;
using converter::StaticText;

// How often a running conversion lets the window paint: often enough that
// the bar is seen to move, seldom enough that painting costs next to
// nothing beside the rows.
constexpr qint64 kPaintIntervalMs = 40;

// Sets a flag for the lifetime of the guard.
class FlagGuard {
 public:
  explicit FlagGuard(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagGuard() { flag_ = false; }
  FlagGuard(const FlagGuard&) = delete;
  FlagGuard& operator=(const FlagGuard&) = delete;

 private:
  bool& flag_;
};

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

void TKonvert::closeEvent(QCloseEvent* event) {
  // A conversion lets the window paint while it runs, and a close request
  // could arrive then; the conversion must end first.
  if (converting_) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

void TKonvert::BitBtn1Click() { handlers_.BitBtn1Click(); }

void TKonvert::BitBtn2Click() { handlers_.BitBtn2Click(); }

void TKonvert::Button1Click() {
  const FlagGuard converting(converting_);
  paintClock_.invalidate();
  handlers_.Button1Click();
}

void TKonvert::BtZ50Click() {
  const FlagGuard converting(converting_);
  paintClock_.invalidate();
  handlers_.BtZ50Click();
}

void TKonvert::OpenFromCommandLine(const std::string& path) {
  RunGuarded([&] { handlers_.ChooseFile(path); });
}

QWidget* TKonvert::Widget(StaticText control) const {
  switch (control) {
    case StaticText::LblQuelle: return ui_->LblQuelle;
    case StaticText::lblv: return ui_->lblv;
    case StaticText::LblAnzahl1: return ui_->LblAnzahl1;
    case StaticText::LblZiel: return ui_->LblZiel;
    case StaticText::lblv2: return ui_->lblv2;
    case StaticText::LblAnzahl2: return ui_->LblAnzahl2;
  }
  return nullptr;
}

std::string TKonvert::Text(StaticText control) const {
  return static_cast<const QLabel*>(Widget(control))->text().toStdString();
}

void TKonvert::SetText(StaticText control, const std::string& text) {
  static_cast<QLabel*>(Widget(control))->setText(QString::fromStdString(text));
}

bool TKonvert::Checked(CheckBox control) const {
  return (control == CheckBox::CBRubrik ? ui_->CBRubrik : ui_->CBUeber)->isChecked();
}

void TKonvert::SetChecked(CheckBox control, bool checked) {
  (control == CheckBox::CBRubrik ? ui_->CBRubrik : ui_->CBUeber)->setChecked(checked);
}

QWidget* TKonvert::Widget(Control control) const {
  return control == Control::CBUeber ? static_cast<QWidget*>(ui_->CBUeber) : ui_->Label7;
}

bool TKonvert::Enabled(Control control) const { return Widget(control)->isEnabled(); }

void TKonvert::SetEnabled(Control control, bool enabled) { Widget(control)->setEnabled(enabled); }

void TKonvert::SetProgressMaximum(int maximum) {
  ui_->Fortschritt2->SetMaximum(maximum);
  PaintWhileConverting();
}

void TKonvert::SetProgressPosition(int position) {
  ui_->Fortschritt2->SetPosition(position);
  PaintWhileConverting();
}

void TKonvert::StepProgress() {
  ui_->Fortschritt2->StepIt();
  PaintWhileConverting();
}

void TKonvert::SetProgressCaption(const std::string& caption) {
  ui_->Fortschritt2->SetCaption(QString::fromStdString(caption));
  PaintWhileConverting();
}

const void* TKonvert::Owner() const { return OwnerHandle(this); }

void TKonvert::PaintWhileConverting() {
  // A conversion runs inside its click handler and gives the event loop no
  // turn. Now and then it lets pending paints through (user input stays
  // queued until it ends), so the bar is seen to advance and the window
  // repaints when uncovered.
  if (!converting_) return;
  if (paintClock_.isValid() && paintClock_.elapsed() < kPaintIntervalMs) return;
  paintClock_.start();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
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
