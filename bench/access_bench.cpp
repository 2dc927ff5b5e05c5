// The Access layer as the converter drives it: walking the 20,000 rows of
// nuta4-large.mdb through TAccessTable (GoFirst ... GoNext, every field's
// text) and appending 20,000 rows through AppendRow, field texts and
// PostRow into a new Nuta table made by TAccessTableManager, also with the
// RowNumber the converter's progress caption asks for before every row.
// Reports rows per second. Finding rows of the same table by name with
// LocateRow, on a dynaset (FindFirst on a clone) and on a table-type
// recordset with an index on the name (Seek), reports lookups per second.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "access/access_database.h"
#include "access/access_table.h"
#include "access/access_table_manager.h"
#include "bench/nuta_rows.h"
#include "bench/rows_per_second.h"
#include "platform/format_settings.h"

namespace {

using namespace accessdb;

constexpr int kRows = 20000;

std::unique_ptr<TAccessDatabase> Connected(const std::string& path) {
  auto database = std::make_unique<TAccessDatabase>("AccessDatabase1");
  database->SetVersion("3.6");
  database->SetDatabase(path);
  database->SetConnected(true);
  return database;
}

void BM_AccessTableWalkNutaLarge(benchmark::State& state) {
  const std::string path = (std::filesystem::path(NUTARO_FIXTURES_DIR) / "nutaro" / "nuta4-large.mdb").string();
  if (!std::filesystem::exists(path)) {
    state.SkipWithError("nuta4-large.mdb is absent");
    return;
  }
  const platform::ScopedFormatSettings german(platform::GermanFormatSettings());
  auto database = Connected(path);
  TAccessTable table("AccessTable1");
  table.SetDatabase(database.get());
  table.SetTableName("nuta");
  table.SetActive(true);
  std::size_t characters = 0;
  int rows = 0;
  for (auto _ : state) {
    rows = 0;
    for (table.GoFirst(); !table.AtEnd(); table.GoNext()) {
      for (int i = 0; i < table.FieldCount(); ++i) characters += table.Field(i).TextValue().size();
      ++rows;
    }
  }
  benchmark::DoNotOptimize(characters);
  if (rows != kRows) state.SkipWithError("nuta4-large.mdb does not hold 20,000 rows");
  bench::ReportRowsPerSecond(state, rows);
}

// A copy of nuta4-large.mdb in the build folder; empty when it is absent.
std::string LargeCopy(const char* name) {
  const std::filesystem::path source = std::filesystem::path(NUTARO_FIXTURES_DIR) / "nutaro" / "nuta4-large.mdb";
  if (!std::filesystem::exists(source)) return std::string();
  const std::filesystem::path target = std::filesystem::path(NUTARO_BINARY_DIR) / name;
  std::filesystem::copy_file(source, target, std::filesystem::copy_options::overwrite_existing);
  return target.string();
}

// Locates the rows of `names` in turn, one lookup per iteration.
void LocateNames(benchmark::State& state, TAccessTable& table, const std::vector<std::string>& names) {
  std::size_t next = 0;
  int missed = 0;
  for (auto _ : state) {
    if (!table.LocateRow("Nahrungsmittel", {platform::Variant(names[next])}, {})) ++missed;
    next = (next + 1) % names.size();
  }
  if (missed != 0) state.SkipWithError("a name was not found");
  bench::ReportRowsPerSecond(state, 1, "lookups/s");
}

// Every 97th name of the table, spread over the whole table.
std::vector<std::string> SomeNames(TAccessTable& table) {
  std::vector<std::string> names;
  int row = 0;
  for (table.GoFirst(); !table.AtEnd(); table.GoNext(), ++row) {
    if (row % 97 == 0) names.push_back(table.FieldNamed("Nahrungsmittel").TextValue());
  }
  table.GoFirst();
  return names;
}

// Opens "nuta" of a copy of nuta4-large.mdb as `tableType` (a table-type
// one with an index on the name) and locates names in turn.
void LocateByName(benchmark::State& state, int tableType) {
  const std::string path = LargeCopy("access_bench_locate.mdb");
  if (path.empty()) return state.SkipWithError("nuta4-large.mdb is absent");
  auto database = Connected(path);
  TAccessTable table("AccessTable1");
  table.SetDatabase(database.get());
  table.SetTableName("nuta");
  table.SetTableType(tableType);
  table.SetActive(true);
  if (tableType == kTableTypeTable) {
    table.IndexDefs().Add("ixName", "Nahrungsmittel");
    table.RefreshIndexList();
  }
  LocateNames(state, table, SomeNames(table));
}

void BM_AccessLocateByNameOnDynaset(benchmark::State& state) { LocateByName(state, kTableTypeDynaset); }
void BM_AccessLocateByNameSeekingAnIndex(benchmark::State& state) { LocateByName(state, kTableTypeTable); }

void AppendNuta(benchmark::State& state, bool numbered) {
  const std::string path = (std::filesystem::path(NUTARO_BINARY_DIR) / "access_bench.mdb").string();
  const platform::ScopedFormatSettings german(platform::GermanFormatSettings());
  for (auto _ : state) {
    std::filesystem::remove(path);
    TAccessDatabase creator("creator");
    creator.SetVersion("3.6");
    creator.CreateDatabaseFile(path);
    auto database = Connected(path);
    TAccessTableManager manager(database.get());
    manager.SetTableName("Nuta");
    manager.FieldDefs().AddFieldDef("Nahrungsmittel", recordset::ftString, 100);
    manager.FieldDefs().AddFieldDef("Kcal", recordset::ftInteger);
    manager.FieldDefs().AddFieldDef("Kjoule", recordset::ftInteger);
    for (const char* name : {"Fett", "Kh", "BE", "Eiweiss"}) manager.FieldDefs().AddFieldDef(name, recordset::ftFloat);
    manager.FieldDefs().AddFieldDef("Rubrik", recordset::ftString, 100);
    manager.CreateTable();
    TAccessTable table("AccessTable2");
    table.SetDatabase(database.get());
    table.SetTableName("Nuta");
    table.SetActive(true);
    recordset::TField* fields[8];
    for (int c = 0; c < 8; ++c) fields[c] = &table.Field(c);
    long numbers = 0;
    for (int i = 0; i < kRows; ++i) {
      if (numbered) numbers += table.RowNumber();
      table.AppendRow();
      fields[0]->SetTextValue(bench::NutaFoodName(i));
      fields[1]->SetTextValue(std::to_string(bench::NutaKcal(i)));
      fields[2]->SetTextValue(std::to_string(bench::NutaKjoule(i)));
      for (int c = 3; c < 7; ++c) fields[c]->SetTextValue(std::to_string(i % 97) + "," + std::to_string(c * 25 % 100));
      fields[7]->SetTextValue(bench::NutaCategory(i));
      table.PostRow();
    }
    benchmark::DoNotOptimize(numbers);
    if (table.RowCount() != kRows) state.SkipWithError("the table does not hold every appended row");
    table.SetActive(false);
    database->SetConnected(false);
  }
  bench::ReportRowsPerSecond(state, kRows);
  std::filesystem::remove(path);
}

void BM_AccessTableAppendNuta(benchmark::State& state) { AppendNuta(state, false); }
void BM_AccessTableAppendNutaNumberingEachRow(benchmark::State& state) { AppendNuta(state, true); }

BENCHMARK(BM_AccessTableWalkNutaLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AccessLocateByNameOnDynaset)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AccessLocateByNameSeekingAnIndex)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AccessTableAppendNuta)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_AccessTableAppendNutaNumberingEachRow)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
