#include "widgets/caption_progress_bar.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

namespace widgets {
namespace {

// Segment geometry of the classic segmented bar: a block is two thirds of
// the bar's inner height wide, and blocks are two pixels apart.
constexpr int kSegmentGap = 2;
constexpr int kMinimumSegmentWidth = 2;
constexpr int kBorderWidth = 1;

}  // namespace

CaptionProgressBar::CaptionProgressBar(QWidget* parent) : QWidget(parent) {
  // We paint every pixel ourselves; no need for Qt to clear first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

QColor CaptionProgressBar::GradientEndColour() {
  // The active-caption gradient colour of the classic desktop scheme.
  return QColor(166, 202, 240);
}

void CaptionProgressBar::SetCaption(const QString& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  update();
  emit CaptionChanged(caption_);
}

void CaptionProgressBar::SetPosition(int position) {
  const int clamped = std::clamp(position, minimum_, maximum_);
  if (clamped == position_) return;
  const int innerWidth = width() - 2 * kBorderWidth;
  const int filledBefore = FilledWidth(innerWidth);
  position_ = clamped;
  // A conversion moves the bar once per row; most moves do not reach the
  // next pixel, and painting the same picture again would be wasted.
  if (FilledWidth(innerWidth) != filledBefore) update();
  emit PositionChanged(position_);
}

void CaptionProgressBar::SetMinimum(int minimum) {
  ApplyRange(minimum, std::max(minimum, maximum_));
}

void CaptionProgressBar::SetMaximum(int maximum) {
  ApplyRange(std::min(minimum_, maximum), maximum);
}

void CaptionProgressBar::ApplyRange(int minimum, int maximum) {
  const int positionBefore = position_;
  minimum_ = minimum;
  maximum_ = maximum;
  position_ = std::clamp(position_, minimum_, maximum_);
  update();
  if (position_ != positionBefore) emit PositionChanged(position_);
}

void CaptionProgressBar::StepIt() {
  // Computed in 64 bits so a large step near INT_MAX cannot overflow.
  const long long next = static_cast<long long>(position_) + step_;
  SetPosition(static_cast<int>(std::clamp<long long>(next, minimum_, maximum_)));
}

int CaptionProgressBar::FilledWidth(int innerWidth) const {
  const long long span = static_cast<long long>(maximum_) - minimum_;
  if (span <= 0 || innerWidth <= 0) return 0;
  const long long done = static_cast<long long>(position_) - minimum_;
  return static_cast<int>(done * innerWidth / span);
}

void CaptionProgressBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect outer = rect();
  const QColor windowColour = palette().color(QPalette::Base);
  painter.fillRect(outer, windowColour);

  painter.setPen(palette().color(QPalette::Dark));
  painter.drawRect(outer.adjusted(0, 0, -1, -1));

  const QRect inner = outer.adjusted(kBorderWidth, kBorderWidth, -kBorderWidth, -kBorderWidth);
  const int filled = FilledWidth(inner.width());
  if (filled > 0) {
    // The gradient spans the whole bar, so the colour at the fill's edge
    // tells how far the work has come even without the caption.
    QLinearGradient gradient(inner.topLeft(), inner.topRight());
    gradient.setColorAt(0.0, windowColour);
    gradient.setColorAt(1.0, GradientEndColour());
    painter.save();
    painter.setClipRect(QRect(inner.left(), inner.top(), filled, inner.height()));
    // Each block gets an outline in the gradient's end colour: near the left
    // end the gradient is hardly darker than the window, and the first
    // blocks must show that the work has begun.
    painter.setPen(GradientEndColour());
    const int segment = std::max(kMinimumSegmentWidth, inner.height() * 2 / 3);
    for (int x = inner.left() + 1; x < inner.left() + filled; x += segment + kSegmentGap) {
      const QRect block(x, inner.top() + 1, segment, inner.height() - 2);
      painter.fillRect(block, gradient);
      painter.drawRect(block.adjusted(0, 0, -1, -1));
    }
    painter.restore();
  }

  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(inner, Qt::AlignCenter | Qt::TextSingleLine, caption_);
}

}  // namespace widgets
