// The record-set work the converter does once per food entry, over the
// in-memory engine of the record-set tests (so the figures are the
// framework's own cost, not a storage's): walking and reading a source
// through bound edits, and appending, filling and posting a target row.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/rows_per_second.h"
#include "platform/format_settings.h"
#include "recordset/db_edit.h"
#include "recordset/tests/memory_dataset.h"

namespace {

using namespace recordset;
using namespace recordset::testing;

constexpr int kSourceRows = 10'000;

std::vector<ColumnSpec> FoodColumns(int textSize) {
  return {{"Nahrungsmittel", ftString, textSize},
          {"Kcal", ftInteger},
          {"Kjoule", ftInteger},
          {"Fett", ftFloat},
          {"Kh", ftFloat},
          {"BE", ftFloat},
          {"Eiweiss", ftFloat},
          {"Rubrik", ftString, textSize}};
}

void FillSource(MemoryDataset& source) {
  for (int i = 0; i < kSourceRows; ++i) {
    source.AddStoredRow({NativeText("Käse, Emmentaler 45% Fett i. Tr."), NativeInt32(i),
                         NativeInt32(i * 4), NativeDouble(29.7), NativeDouble(0.1),
                         std::nullopt, NativeDouble(28.4), NativeText("Milchprodukte")});
  }
}

// Eight edits bound to the eight columns of `source`.
std::vector<std::unique_ptr<TDBEdit>> BoundEdits(TDataSource& source) {
  std::vector<std::unique_ptr<TDBEdit>> edits;
  for (const ColumnSpec& column : FoodColumns(0)) {
    edits.push_back(std::make_unique<TDBEdit>("DB" + column.name));
    edits.back()->SetDataSource(&source);
    edits.back()->SetDataField(column.name);
  }
  return edits;
}

// GoNext on a source whose eight edits show every row's display texts.
void BM_ReadSourceRowThroughEdits(benchmark::State& state) {
  platform::ScopedFormatSettings german(platform::GermanFormatSettings());
  MemoryDataset source(FoodColumns(255), "AccessTable1");
  FillSource(source);
  TDataSource link;
  link.SetDataSet(&source);
  const auto edits = BoundEdits(link);
  source.SetActive(true);
  for (auto _ : state) {
    source.GoNext();
    if (source.AtEnd()) source.GoFirst();
    benchmark::DoNotOptimize(edits[3]->Text());
  }
  bench::ReportRowsPerSecond(state, 1);
}
BENCHMARK(BM_ReadSourceRowThroughEdits);

// AppendRow, eight texts through the edits, PostRow: one converted entry.
void BM_AppendAndPostRowThroughEdits(benchmark::State& state) {
  platform::ScopedFormatSettings german(platform::GermanFormatSettings());
  constexpr int kRowsPerIteration = 1'000;
  for (auto _ : state) {
    state.PauseTiming();
    MemoryDataset target(FoodColumns(100), "AccessTable2");
    TDataSource link;
    link.SetDataSet(&target);
    const auto edits = BoundEdits(link);
    target.SetActive(true);
    const std::vector<std::string> texts = {"Käse, Emmentaler 45% Fett i. Tr.", "380", "1588",
                                            "29,7", "0,1", "0", "28,4", "Milchprodukte"};
    state.ResumeTiming();
    for (int i = 0; i < kRowsPerIteration; ++i) {
      target.AppendRow();
      for (std::size_t e = 0; e < edits.size(); ++e) edits[e]->SetText(texts[e]);
      target.PostRow();
    }
  }
  bench::ReportRowsPerSecond(state, kRowsPerIteration);
}
BENCHMARK(BM_AppendAndPostRowThroughEdits);

// Typed field reads of a whole source (no controls linked).
void BM_ReadFieldTexts(benchmark::State& state) {
  platform::ScopedFormatSettings german(platform::GermanFormatSettings());
  MemoryDataset source(FoodColumns(255), "Quelle");
  FillSource(source);
  source.SetActive(true);
  std::vector<TField*> fields;
  for (int i = 0; i < source.FieldCount(); ++i) fields.push_back(&source.Field(i));
  for (auto _ : state) {
    for (TField* field : fields) benchmark::DoNotOptimize(field->TextValue());
    source.GoNext();
    if (source.AtEnd()) source.GoFirst();
  }
  bench::ReportRowsPerSecond(state, 1);
}
BENCHMARK(BM_ReadFieldTexts);

}  // namespace
BENCHMARK_MAIN();
