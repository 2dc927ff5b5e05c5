// The main function of the benchmarks that need Qt widgets: an application
// object first, on the offscreen platform when there is no display.
#include <QApplication>
#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
  // Without a display the widgets paint into the offscreen platform's buffers.
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
