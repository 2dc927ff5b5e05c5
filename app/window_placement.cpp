#include "app/window_placement.h"

#include <QLabel>
#include <QScreen>
#include <QShowEvent>
#include <QWidget>

namespace app {

void CentreOnScreen(QWidget& window, const QShowEvent& event) {
  const QScreen* screen = window.screen();
  if (event.spontaneous() || screen == nullptr) return;
  QRect frame = window.frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window.move(frame.topLeft());
}

void FitLabelsToText(QWidget& form) {
  for (QLabel* label : form.findChildren<QLabel*>()) {
    // Only plain labels: fields with their own size (static texts, pictures)
    // are subclasses or hold a pixmap.
    if (label->metaObject() == &QLabel::staticMetaObject && label->pixmap().isNull()) {
      label->adjustSize();
    }
  }
}

}  // namespace app
