#include "widgets/picture_button.h"

namespace widgets {

PictureButton::PictureButton(QWidget* parent) : QPushButton(parent) {
  setIconSize(QSize(kPictureSize, kPictureSize));
}

}  // namespace widgets
