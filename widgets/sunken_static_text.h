#pragma once

#include <QLabel>

namespace widgets {

// A read-only text field with a sunken border, showing one line of plain
// text. The text is never taken as markup or as a mnemonic, so file paths
// containing "<" or "&" show exactly as they are; text wider than the field
// is clipped, not wrapped. Alignment (centred, vertically centred) is the
// label's own alignment property.
class SunkenStaticText : public QLabel {
  Q_OBJECT

 public:
  // An empty field, left-aligned and vertically centred.
  explicit SunkenStaticText(QWidget* parent = nullptr);
};

}  // namespace widgets
