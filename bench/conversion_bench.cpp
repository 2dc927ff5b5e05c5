// The conversion of the 20,000-entry Nutaro fixture into a new 4.x Access
// database and into a new 5.x table file: once through the main window
// (offscreen, dialogs answered from a script, the real buttons) and once
// through `nutaro convert` as a process. Each iteration chooses the source
// and the target and converts; only removing the previous target is left
// out of the time. Reports rows per second.
#include <QPushButton>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/konverter_windows.h"
#include "app/konvert_window.h"
#include "bench/rows_per_second.h"
#include "platform/dialogs.h"

namespace {

constexpr double kRows = 20000;
constexpr int kAccess = 1;
constexpr int kTableFile = 2;

std::string Source() { return std::string(NUTARO_FIXTURES_DIR) + "/nutaro/nuta4-large.mdb"; }

std::filesystem::path WorkFolder() { return std::filesystem::path(NUTARO_BINARY_DIR) / "conversion_bench"; }

std::string Target(int filter) {
  std::filesystem::create_directories(WorkFolder());
  return (WorkFolder() / (filter == kAccess ? "ziel.mdb" : "ziel.ntd")).string();
}

// Answers the two file dialogs and lets every message box pass.
class BenchDialogs : public platform::Dialogs {
 public:
  BenchDialogs(std::string target, int filter) : target_(std::move(target)), filter_(filter) {}
  platform::MessageResult ShowMessageBox(const platform::MessageBoxRequest& request) override {
    last_ = request.text;
    return platform::MessageResult::kOk;
  }
  bool OpenFile(platform::FileDialogState& state) override {
    state.fileName = Source();
    state.filterIndex = 1;
    return true;
  }
  bool SaveFile(platform::FileDialogState& state) override {
    state.fileName = target_;
    state.filterIndex = filter_;
    return true;
  }
  bool AskPassword(std::string&) override { return false; }
  bool AskLogin(platform::LoginRequest&) override { return false; }
  const std::string& LastMessage() const { return last_; }

 private:
  std::string target_;
  int filter_;
  std::string last_;
};

void ThroughTheWindow(benchmark::State& state, int filter) {
  const std::string target = Target(filter);
  BenchDialogs dialogs(target, filter);
  platform::ScopedDialogs inForce(dialogs);
  app::KonverterWindows windows;
  app::TKonvert& konvert = windows.Konvert();
  konvert.show();
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(target);
    state.ResumeTiming();
    konvert.findChild<QPushButton*>("BitBtn1")->click();
    konvert.findChild<QPushButton*>("BitBtn2")->click();
    konvert.findChild<QPushButton*>("Button1")->click();
  }
  if (dialogs.LastMessage() != "Konvertierung erfolgreich abgeschlossen !") {
    state.SkipWithError(("the conversion said: " + dialogs.LastMessage()).c_str());
  }
  bench::ReportRowsPerSecond(state, kRows);
}

void ThroughTheCommand(benchmark::State& state, int filter) {
  const std::string target = Target(filter);
  const std::string command = std::string(NUTARO_BINARY_DIR) + "/tools/nutaro convert '" + Source() + "' '" +
                              target + "' 2>/dev/null";
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(target);
    state.ResumeTiming();
    if (std::system(command.c_str()) != 0) state.SkipWithError("nutaro convert failed");
  }
  bench::ReportRowsPerSecond(state, kRows);
}

void BM_WindowIntoAccess(benchmark::State& state) { ThroughTheWindow(state, kAccess); }
void BM_CommandIntoAccess(benchmark::State& state) { ThroughTheCommand(state, kAccess); }
void BM_WindowIntoTableFile(benchmark::State& state) { ThroughTheWindow(state, kTableFile); }
void BM_CommandIntoTableFile(benchmark::State& state) { ThroughTheCommand(state, kTableFile); }

BENCHMARK(BM_WindowIntoAccess)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CommandIntoAccess)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WindowIntoTableFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CommandIntoTableFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
