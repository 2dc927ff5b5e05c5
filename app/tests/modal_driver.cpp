#include "modal_driver.h"

#include <QApplication>
#include <QDialog>

namespace app::testing {

ModalDriver::ModalDriver(std::function<void(QWidget&)> action) : action_(std::move(action)) {
  QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
  timer_.start(5);
}

ModalDriver::~ModalDriver() = default;

void ModalDriver::Poll() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr || ran_) return;
  ran_ = true;
  timer_.stop();
  action_(*modal);
  if (auto* dialog = qobject_cast<QDialog*>(modal); dialog != nullptr && dialog->isVisible()) {
    dialog->reject();
  }
}

}  // namespace app::testing
