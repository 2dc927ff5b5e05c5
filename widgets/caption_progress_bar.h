#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace widgets {

// A progress bar that draws its caption text centred over a segmented bar
// whose fill runs through a colour gradient. Changes are painted with the
// next paint of the window, as for any widget: a conversion that runs on the
// GUI thread without an event loop lets paint events through now and then
// (TKonvert does), so that reporting every row never means painting every
// row. Every change is announced by a signal.
class CaptionProgressBar : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString caption READ Caption WRITE SetCaption NOTIFY CaptionChanged)
  Q_PROPERTY(int position READ Position WRITE SetPosition NOTIFY PositionChanged)
  Q_PROPERTY(int minimum READ Minimum WRITE SetMinimum)
  Q_PROPERTY(int maximum READ Maximum WRITE SetMaximum)
  Q_PROPERTY(int step READ Step WRITE SetStep)

 public:
  // Starts at range 0..100, position 0, step 1, empty caption.
  explicit CaptionProgressBar(QWidget* parent = nullptr);

  // The text drawn centred over the bar.
  QString Caption() const { return caption_; }
  void SetCaption(const QString& caption);

  // Always within [Minimum(), Maximum()]: values outside are clamped.
  int Position() const { return position_; }
  void SetPosition(int position);

  // The range of Position(). Setting one end past the other moves the other
  // end along, and the position is clamped into the new range.
  int Minimum() const { return minimum_; }
  void SetMinimum(int minimum);
  int Maximum() const { return maximum_; }
  void SetMaximum(int maximum);

  // StepIt() moves the position by Step(), clamped to the range.
  int Step() const { return step_; }
  void SetStep(int step) { step_ = step; }
  void StepIt();

  // The colour at the right end of the gradient; the left end is the
  // palette's window colour.
  static QColor GradientEndColour();

 signals:
  void CaptionChanged(const QString& caption);
  // Also sent when a change of the range moves the position.
  void PositionChanged(int position);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // Width in pixels of the filled part of the inner (borderless) area.
  int FilledWidth(int innerWidth) const;
  void ApplyRange(int minimum, int maximum);

  QString caption_;
  int minimum_ = 0;
  int maximum_ = 100;
  int position_ = 0;
  int step_ = 1;
};

}  // namespace widgets
