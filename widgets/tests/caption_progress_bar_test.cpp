#include "widgets/caption_progress_bar.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <climits>
#include <gtest/gtest.h>

namespace widgets {
namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
 public:
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++count;
    return false;
  }
};

bool IsBackground(const QImage& image, int x, int y, const QColor& background) {
  return image.pixelColor(x, y) == background;
}

// Columns of the inner area (border excluded) on which some pixel differs
// from the background colour.
std::vector<int> PaintedColumns(const QImage& image, const QColor& background) {
  std::vector<int> columns;
  for (int x = 1; x < image.width() - 1; ++x) {
    for (int y = 1; y < image.height() - 1; ++y) {
      if (!IsBackground(image, x, y, background)) {
        columns.push_back(x);
        break;
      }
    }
  }
  return columns;
}

TEST(CaptionProgressBar, EveryChangeIsAnnouncedAndTheChangesArePaintedTogether) {
  CaptionProgressBar bar;
  bar.resize(200, 17);
  bar.SetMaximum(50);
  bar.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
  PaintCounter counter;
  bar.installEventFilter(&counter);
  QSignalSpy captions(&bar, &CaptionProgressBar::CaptionChanged);
  QSignalSpy positions(&bar, &CaptionProgressBar::PositionChanged);

  // A conversion reports every row without giving the event loop a turn.
  for (int row = 1; row <= 50; ++row) {
    bar.StepIt();
    bar.SetCaption(QString::number(row) + " Einträge");
  }
  EXPECT_EQ(counter.count, 0);
  ASSERT_EQ(captions.count(), 50);
  EXPECT_EQ(captions.at(49).at(0).toString(), "50 Einträge");
  ASSERT_EQ(positions.count(), 50);
  EXPECT_EQ(positions.at(49).at(0).toInt(), 50);

  // One turn of the event loop paints the latest state once.
  QCoreApplication::processEvents();
  EXPECT_EQ(counter.count, 1);
  bar.SetCaption("50 Einträge");  // the same text again: no news
  EXPECT_EQ(captions.count(), 50);
}

TEST(CaptionProgressBar, FillCoversTheDoneShareAndRunsIntoTheGradientColour) {
  CaptionProgressBar bar;
  bar.resize(202, 17);  // inner width 200
  const QColor background = bar.palette().color(QPalette::Base);

  bar.SetPosition(50);
  std::vector<int> painted = PaintedColumns(bar.grab().toImage(), background);
  ASSERT_FALSE(painted.empty());
  EXPECT_LE(painted.front(), 3);
  EXPECT_GE(painted.back(), 90);
  EXPECT_LE(painted.back(), 101);

  bar.SetPosition(100);
  const QImage full = bar.grab().toImage();
  painted = PaintedColumns(full, background);
  ASSERT_FALSE(painted.empty());
  EXPECT_GE(painted.back(), 190);
  // Near the right end the fill has almost reached the gradient's end colour.
  const QColor end = CaptionProgressBar::GradientEndColour();
  const QColor right = full.pixelColor(painted.back(), full.height() / 2);
  EXPECT_NEAR(right.red(), end.red(), 8);
  EXPECT_NEAR(right.blue(), end.blue(), 8);
}

TEST(CaptionProgressBar, CaptionIsDrawnCentredOverTheBar) {
  CaptionProgressBar bar;
  bar.resize(301, 17);
  const QColor background = bar.palette().color(QPalette::Base);
  bar.SetCaption("1234 Einträge");
  const std::vector<int> painted = PaintedColumns(bar.grab().toImage(), background);
  ASSERT_FALSE(painted.empty());
  const int centre = (painted.front() + painted.back()) / 2;
  EXPECT_NEAR(centre, 150, 3);
}

TEST(CaptionProgressBar, PositionStaysInsideTheRangeWhateverIsSet) {
  CaptionProgressBar bar;
  bar.SetPosition(500);
  EXPECT_EQ(bar.Position(), 100);
  bar.SetPosition(-5);
  EXPECT_EQ(bar.Position(), 0);

  bar.SetPosition(80);
  bar.SetMaximum(40);
  EXPECT_EQ(bar.Position(), 40);
  bar.SetMinimum(60);  // past the maximum: the maximum moves along
  EXPECT_EQ(bar.Maximum(), 60);
  EXPECT_EQ(bar.Position(), 60);

  bar.SetMaximum(INT_MAX);
  bar.SetPosition(INT_MAX - 1);
  bar.SetStep(INT_MAX);
  bar.StepIt();
  EXPECT_EQ(bar.Position(), INT_MAX);

  // An empty range paints an empty bar instead of dividing by zero.
  bar.SetMinimum(INT_MAX);
  bar.resize(50, 17);
  const QColor background = bar.palette().color(QPalette::Base);
  EXPECT_TRUE(PaintedColumns(bar.grab().toImage(), background).empty());
}

}  // namespace
}  // namespace widgets
