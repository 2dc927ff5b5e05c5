#pragma once

#include <QPushButton>

namespace widgets {

// A push button that shows a 16 x 16 picture, with or without a caption
// beside it. The picture keeps its size whatever the style's default icon
// size is, so every picture button of a window looks alike.
class PictureButton : public QPushButton {
  Q_OBJECT

 public:
  static constexpr int kPictureSize = 16;

  // A button without picture and caption; both are set later (by the form).
  explicit PictureButton(QWidget* parent = nullptr);
};

}  // namespace widgets
