// The platform conversions that run once per row or per field in the table
// engines and the converter: code pages, number texts, kilojoules.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/rows_per_second.h"
#include "platform/codepage.h"
#include "platform/kilojoule.h"
#include "platform/number_text.h"

namespace {

using platform::FormatSettings;

// Typical food names: mostly ASCII, some with umlauts.
const std::vector<std::string>& FoodNamesUtf8() {
  static const std::vector<std::string> names = {
      "Apfel, roh, mit Schale", "Käse, Emmentaler 45% Fett i. Tr.", "Brötchen (Weizen)",
      "Müsli ohne Zucker",      "Vollmilch 3,5 %",                  "Hähnchenbrust, gegrillt",
  };
  return names;
}

void BM_AnsiToUtf8(benchmark::State& state) {
  std::vector<std::string> stored;
  for (const auto& name : FoodNamesUtf8()) stored.push_back(platform::Utf8ToAnsi(name, 1252));
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(platform::AnsiToUtf8(stored[i++ % stored.size()], 1252));
  }
  bench::ReportRowsPerSecond(state, 1);
}
BENCHMARK(BM_AnsiToUtf8);

void BM_Utf8ToAnsi(benchmark::State& state) {
  const auto& names = FoodNamesUtf8();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(platform::Utf8ToAnsi(names[i++ % names.size()], 1252));
  }
  bench::ReportRowsPerSecond(state, 1);
}
BENCHMARK(BM_Utf8ToAnsi);

const std::vector<double>& Nutrients() {
  static const std::vector<double> values = {0.3, 12.5, 1.0 / 3, 52.0, 0.05, 7.25, 100.0, 2.0 / 3};
  return values;
}

void BM_FormatFloatTableFilePattern(benchmark::State& state) {
  const FormatSettings settings = platform::GermanFormatSettings();
  const auto& values = Nutrients();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(platform::FormatFloat("0.######", values[i++ % values.size()], settings));
  }
  bench::ReportRowsPerSecond(state, 1);
}
BENCHMARK(BM_FormatFloatTableFilePattern);

void BM_FloatToStrGeneral(benchmark::State& state) {
  const FormatSettings settings = platform::GermanFormatSettings();
  const auto& values = Nutrients();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(platform::FloatToStrGeneral(values[i++ % values.size()], 15, settings));
  }
  bench::ReportRowsPerSecond(state, 1);
}
BENCHMARK(BM_FloatToStrGeneral);

void BM_TryParseFloat(benchmark::State& state) {
  const FormatSettings settings = platform::GermanFormatSettings();
  std::vector<std::string> texts;
  for (double value : Nutrients()) texts.push_back(platform::FloatToStrGeneral(value, 15, settings));
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(platform::TryParseFloat(texts[i++ % texts.size()], settings));
  }
  bench::ReportRowsPerSecond(state, 1);
}
BENCHMARK(BM_TryParseFloat);

void BM_Kilojoules(benchmark::State& state) {
  std::int32_t kcal = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(platform::KilojoulesFromKilocalories(kcal));
    kcal = (kcal + 7) % 5000;
  }
  bench::ReportRowsPerSecond(state, 1);
}
BENCHMARK(BM_Kilojoules);

}  // namespace

BENCHMARK_MAIN();
