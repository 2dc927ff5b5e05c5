#include "widgets/sunken_static_text.h"

namespace widgets {
namespace {

// Space between the sunken border and the text, as static texts have it.
constexpr int kTextIndent = 2;

}  // namespace

SunkenStaticText::SunkenStaticText(QWidget* parent) : QLabel(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(1);
  setTextFormat(Qt::PlainText);
  setTextInteractionFlags(Qt::NoTextInteraction);
  setWordWrap(false);
  setIndent(kTextIndent);
  setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

}  // namespace widgets
