// The table-file engine on a 100,000-row table of the converter's
// eleven-field layout: reading and writing its image in memory, loading and
// saving it as a file through the dataset, and appending rows the way the
// converter does. Every figure is rows per second.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bench/rows_per_second.h"
#include "platform/variant.h"
#include "tablefile/ntd_dataset.h"
#include "tablefile/tests/table_fixtures.h"

namespace {

using tablefile::RecordBuffer;
using tablefile::RecordEntry;
using tablefile::TNtdCursor;

constexpr int kRows = 100'000;

// The converted food table: a name, a category, six nutrient values, the
// running number.
void FillConverterTable(TNtdCursor& cursor) {
  cursor.DefineFields(tablefile::testing::ConverterNtdFields());
  const auto& f = cursor.Fields();
  RecordBuffer row = cursor.NewRecordBuffer();
  for (int i = 0; i < kRows; ++i) {
    row.LargeValue(f[0]) = "K\xE4se, Emmentaler 45% Fett i. Tr. " + std::to_string(i);
    row.LargeValue(f[1]) = "Milchprodukte";
    for (std::size_t n = 3; n < 9; ++n) row.Put<double>(f[n], 0.5 * static_cast<double>(i % 997 + n));
    row.Put<std::int32_t>(f[9], i + 1);
    RecordEntry* record = nullptr;
    cursor.PutRecord(row, record);
  }
}

std::vector<std::uint8_t> ConverterImage() {
  TNtdCursor cursor;
  FillConverterTable(cursor);
  std::vector<std::uint8_t> image;
  cursor.WriteImage(image);
  return image;
}

void BM_ReadImage(benchmark::State& state) {
  std::vector<std::uint8_t> image = ConverterImage();
  for (auto _ : state) {
    TNtdCursor cursor;
    if (!cursor.ReadImage(image).Ok) state.SkipWithError("image not read");
    benchmark::DoNotOptimize(cursor.RecordCount());
  }
  bench::ReportRowsPerSecond(state, kRows);
}
BENCHMARK(BM_ReadImage)->Unit(benchmark::kMillisecond);

void BM_WriteImage(benchmark::State& state) {
  TNtdCursor cursor;
  FillConverterTable(cursor);
  std::vector<std::uint8_t> image;
  for (auto _ : state) {
    cursor.WriteImage(image);
    benchmark::DoNotOptimize(image.data());
  }
  bench::ReportRowsPerSecond(state, kRows);
}
BENCHMARK(BM_WriteImage)->Unit(benchmark::kMillisecond);

std::string BenchFile() {
  return (std::filesystem::temp_directory_path() / "ntd_bench_food.ntd").string();
}

// The benchmark library may run a function more than once: each run makes its file.
void WriteBenchFile() {
  TNtdCursor cursor;
  FillConverterTable(cursor);
  cursor.WriteFile(BenchFile(), 0, false, "");
}

void BM_LoadTableFile(benchmark::State& state) {
  WriteBenchFile();
  for (auto _ : state) {
    tablefile::TNtdTable table;
    table.SetTableName(BenchFile());
    table.SetActive(true);
    benchmark::DoNotOptimize(table.RowCount());
  }
  bench::ReportRowsPerSecond(state, kRows);
  std::filesystem::remove(BenchFile());
}
BENCHMARK(BM_LoadTableFile)->Unit(benchmark::kMillisecond);

void BM_SaveTableFile(benchmark::State& state) {
  WriteBenchFile();
  tablefile::TNtdTable table;
  table.SetTableName(BenchFile());
  table.SetActive(true);
  for (auto _ : state) table.WriteTableFile(BenchFile());
  bench::ReportRowsPerSecond(state, kRows);
  std::filesystem::remove(BenchFile());
}
BENCHMARK(BM_SaveTableFile)->Unit(benchmark::kMillisecond);

// The converter's loop: an edit of the current row that the new row then
// drops, the values as variants, the running number as text, post.
void BM_AppendRowsThroughDataset(benchmark::State& state) {
  for (auto _ : state) {
    tablefile::TNtdTable table;
    tablefile::testing::AddConverterFieldDefs(table.FieldDefs());
    table.SetActive(true);
    recordset::TField& name = table.FieldNamed("Nm1");
    recordset::TField& kcal = table.FieldNamed("Kcal");
    recordset::TField& number = table.FieldNamed("X");
    for (int i = 0; i < kRows; ++i) {
      table.EditRow();
      table.AppendRow();
      name.SetVariantValue(platform::Variant("Käse, Emmentaler 45% Fett i. Tr."));
      kcal.SetVariantValue(platform::Variant(382.0));
      number.SetTextValue(std::to_string(i + 1));
      table.PostRow();
    }
    benchmark::DoNotOptimize(table.RowCount());
  }
  bench::ReportRowsPerSecond(state, kRows);
}
BENCHMARK(BM_AppendRowsThroughDataset)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
