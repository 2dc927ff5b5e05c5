#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

namespace app::testing {

// Acts on the next modal window from inside its own event loop: a test
// creates a driver, then does what opens the window (exec() blocks until the
// action has closed it). Whatever the action leaves open is rejected, so a
// faulty test cannot hang on a dialog.
class ModalDriver {
 public:
  explicit ModalDriver(std::function<void(QWidget&)> action);
  ~ModalDriver();
  ModalDriver(const ModalDriver&) = delete;
  ModalDriver& operator=(const ModalDriver&) = delete;

  // True once the action has run on a modal window.
  bool Ran() const { return ran_; }

 private:
  void Poll();

  std::function<void(QWidget&)> action_;
  QTimer timer_;
  bool ran_ = false;
};

// The child of `window` with this object name and class; fails the test
// when there is none.
template <class T>
T* Child(const QWidget& window, const char* name) {
  T* child = window.findChild<T*>(name);
  EXPECT_NE(child, nullptr) << "no control " << name;
  return child;
}

}  // namespace app::testing
