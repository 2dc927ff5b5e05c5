// The view of a table-file dataset on a 1,000,000-row table of the
// converter's layout: a filter of two conditions, the order of a text field
// (as is and ignoring letter case), and LocateRow by the leading index field
// of an ordered view (bisection). Figures are rows or lookups per second.

#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "bench/rows_per_second.h"
#include "platform/variant.h"
#include "tablefile/ntd_dataset.h"
#include "tablefile/tests/table_fixtures.h"

namespace {

using tablefile::RecordBuffer;
using tablefile::RecordEntry;
using tablefile::TNtdTable;

constexpr int kRows = 1'000'000;

// Names in no particular order, so that ordering them is real work.
std::string FoodName(std::uint32_t i) {
  static const char* const kWords[] = {"K\xE4se", "apfel", "Birne", "\xC4pfel", "Brot", "m\xFCsli", "Quark", "Zwiebel"};
  const std::uint32_t mixed = i * 2'654'435'761u;
  return std::string(kWords[mixed % 8]) + ", " + std::to_string(mixed % 100'000) + " Sorte " + std::to_string(i % 7);
}

// One table for every benchmark: building it takes longer than they run.
TNtdTable& FoodTable() {
  static TNtdTable* table = [] {
    auto* food = new TNtdTable("Food");
    tablefile::testing::AddConverterFieldDefs(food->FieldDefs());
    food->SetActive(true);
    tablefile::TNtdCursor& store = *food->Store();
    const auto& f = store.Fields();
    RecordBuffer row = store.NewRecordBuffer();
    for (int i = 0; i < kRows; ++i) {
      row.LargeValue(f[0]) = FoodName(static_cast<std::uint32_t>(i));
      row.LargeValue(f[1]) = "Milchprodukte";
      for (std::size_t n = 3; n < 9; ++n) row.Put<double>(f[n], 0.5 * static_cast<double>((i * 7 + n) % 997));
      row.Put<std::int32_t>(f[9], i + 1);
      RecordEntry* record = nullptr;
      store.PutRecord(row, record);
    }
    food->RebuildView(false);
    return food;
  }();
  return *table;
}

void BM_FilterTwoConditions(benchmark::State& state) {
  TNtdTable& table = FoodTable();
  table.SetIndexFieldNames("");
  table.SetFilter("Kcal > '250' AND X <= 600000");
  table.SetFiltered(true);
  for (auto _ : state) {
    table.RebuildView(false);
    benchmark::DoNotOptimize(table.RowCount());
  }
  state.counters["selected"] = table.RowCount();
  table.SetFiltered(false);
  bench::ReportRowsPerSecond(state, kRows, "records/s");
}
BENCHMARK(BM_FilterTwoConditions)->Unit(benchmark::kMillisecond);

void BM_OrderByText(benchmark::State& state) {
  TNtdTable& table = FoodTable();
  table.SetSortOptions(static_cast<tablefile::TNtdSortOptions>(state.range(0)));
  table.SetIndexFieldNames("Nm1");
  for (auto _ : state) {
    table.RebuildView(false);
    benchmark::DoNotOptimize(table.View().front());
  }
  table.SetIndexFieldNames("");
  table.SetSortOptions(0);
  bench::ReportRowsPerSecond(state, kRows, "records/s");
}
BENCHMARK(BM_OrderByText)->Arg(0)->Arg(tablefile::vsoCaseInsensitive)->Unit(benchmark::kMillisecond);

void BM_LocateByLeadingIndexField(benchmark::State& state) {
  TNtdTable& table = FoodTable();
  table.SetIndexFieldNames("X;Nm1");
  if (!table.BisectionAllowed("X")) state.SkipWithError("the view does not allow bisection");
  std::mt19937 random(42);
  std::uniform_int_distribution<std::int32_t> number(1, kRows);
  std::int64_t found = 0;
  for (auto _ : state) found += table.LocateRow("X", {platform::Variant(number(random))}, {}) ? 1 : 0;
  if (found != static_cast<std::int64_t>(state.iterations())) state.SkipWithError("a row was not found");
  table.SetIndexFieldNames("");
  bench::ReportRowsPerSecond(state, 1, "lookups/s");
}
BENCHMARK(BM_LocateByLeadingIndexField);

}  // namespace

BENCHMARK_MAIN();
