// How many rows per second a conversion can report on the progress bar: per
// row it sets the position and the caption. Reported changes are painted
// with the window's next paint; the second benchmark paints after every row,
// which is what a conversion would cost if it let the window paint each one.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QString>
#include <QThread>
#include <QWindow>
#include <benchmark/benchmark.h>

#include "widgets/caption_progress_bar.h"

namespace {

// Reports one row per iteration; with `paintEachRow` the window paints it.
void ReportRows(benchmark::State& state, bool paintEachRow) {
  widgets::CaptionProgressBar bar;
  bar.resize(513, 17);
  bar.SetMaximum(1'000'000);
  bar.show();
  // Painting only happens once the window system has exposed the window.
  const QDeadlineTimer deadline(10'000);
  while (!bar.windowHandle()->isExposed() && !deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QThread::msleep(1);
  }
  if (!bar.windowHandle()->isExposed()) {
    state.SkipWithError("the window was never exposed");
    return;
  }
  int row = 0;
  for (auto _ : state) {
    ++row;
    bar.SetPosition(row);
    bar.SetCaption(QString::number(row) + QStringLiteral(" Einträge"));
    if (paintEachRow) QCoreApplication::processEvents();
  }
  state.counters["rows_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
void BM_ProgressPerRow(benchmark::State& state) { ReportRows(state, false); }
BENCHMARK(BM_ProgressPerRow)->UseRealTime();

void BM_ProgressPaintedPerRow(benchmark::State& state) { ReportRows(state, true); }
BENCHMARK(BM_ProgressPaintedPerRow)->UseRealTime();

}  // namespace
