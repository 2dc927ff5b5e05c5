// Access SQL on Jet databases: a WHERE filter over a million rows (rows
// examined per second), Seek on the primary key of a million-row table
// (lookups per second; the time per call is the iteration time), and the
// converter's kind of query, "SELECT * FROM nuta WHERE Kcal > 100 ORDER BY
// Nahrungsmittel" on the 20,000-row fixture, against reading the table
// and filtering and sorting it in C++ with the same text order.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench/rows_per_second.h"
#include "dao/constants.h"
#include "dao/db_engine.h"
#include "dao/sql/text_order.h"

namespace {

using platform::Variant;

constexpr int kMillion = 1'000'000;
const std::string kLargeFile = std::string(NUTARO_FIXTURES_DIR) + "/nutaro/nuta4-large.mdb";

std::shared_ptr<dao::Workspace> BenchWorkspace() {
  static const auto engine = dao::DBEngine::Create("DAO.DBEngine.36");
  static const auto workspace = engine->CreateWorkspace("bench", "Admin", "");
  return workspace;
}

// A database with the table Big: Id (primary key), Kcal and Name, a
// million rows. Made once and kept in the build folder.
std::string MillionRowDatabase() {
  const std::string path = std::string(NUTARO_BINARY_DIR) + "/sql_bench_million.mdb";
  if (std::filesystem::exists(path)) return path;
  const std::string building = path + ".part";
  std::filesystem::remove(building);
  {
    const auto database = BenchWorkspace()->CreateDatabase(building, dao::dbLangGeneral);
    const auto table = database->CreateTableDef("Big");
    table->Fields().Append(table->CreateField("Id", dao::dbLong));
    table->Fields().Append(table->CreateField("Kcal", dao::dbLong));
    table->Fields().Append(table->CreateField("Name", dao::dbText, 30));
    const auto primary = table->CreateIndex("PrimaryKey");
    primary->SetPrimary(true);
    primary->Fields().Append(primary->CreateField("Id"));
    table->Indexes().Append(primary);
    database->TableDefs().Append(table);
    const auto rows = database->OpenRecordset("Big", dao::dbOpenTable, dao::dbAppendOnly);
    const dao::FieldCollection& fields = rows->Fields();
    std::mt19937 random(1);
    for (int i = 0; i < kMillion; ++i) {
      rows->AddNew();
      fields.Item(0)->SetValue(Variant(i * 2));
      fields.Item(1)->SetValue(Variant(static_cast<int>(random() % 1000)));
      fields.Item(2)->SetValue(Variant("Eintrag " + std::to_string(random() % 100000)));
      rows->Update();
    }
    database->Close();
  }
  std::filesystem::rename(building, path);
  return path;
}

void BM_SqlWhereFilterMillionRows(benchmark::State& state) {
  const auto database = BenchWorkspace()->OpenDatabase(MillionRowDatabase(), false, true);
  long found = 0;
  for (auto _ : state) {
    const auto rows =
        database->OpenRecordset("SELECT Id FROM Big WHERE Kcal > 990 AND Name LIKE 'Eintrag 1*'", dao::dbOpenForwardOnly);
    for (found = 0; !rows->AtEOF(); rows->MoveNext()) ++found;
  }
  benchmark::DoNotOptimize(found);
  bench::ReportRowsPerSecond(state, kMillion);
}
BENCHMARK(BM_SqlWhereFilterMillionRows)->Unit(benchmark::kMillisecond);

void BM_SeekMillionRowPrimaryKey(benchmark::State& state) {
  const auto database = BenchWorkspace()->OpenDatabase(MillionRowDatabase(), false, true);
  const auto table = database->OpenRecordset("Big", dao::dbOpenTable);
  table->SetIndex("PrimaryKey");
  std::mt19937 random(2);
  long matched = 0;
  for (auto _ : state) {
    // Even keys are there, odd ones not.
    table->Seek("=", {Variant(static_cast<int>(random() % (2 * kMillion)))});
    if (!table->NoMatch()) ++matched;
  }
  benchmark::DoNotOptimize(matched);
  bench::ReportRowsPerSecond(state, 1, "lookups/s");
}
BENCHMARK(BM_SeekMillionRowPrimaryKey)->Unit(benchmark::kMicrosecond);

void BM_SqlNutaRichOrderedByName(benchmark::State& state) {
  if (!std::filesystem::exists(kLargeFile)) return state.SkipWithError("fixture nuta4-large.mdb is absent");
  const auto database = BenchWorkspace()->OpenDatabase(kLargeFile, false, true);
  long rows = 0;
  for (auto _ : state) {
    const auto result =
        database->OpenRecordset("SELECT * FROM nuta WHERE Kcal > 100 ORDER BY Nahrungsmittel", dao::dbOpenSnapshot);
    const dao::FieldCollection& fields = result->Fields();
    for (rows = 0; !result->AtEOF(); result->MoveNext(), ++rows) {
      for (const auto& field : fields) benchmark::DoNotOptimize(field->Value());
    }
  }
  bench::ReportRowsPerSecond(state, 20'000);
  state.counters["result rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_SqlNutaRichOrderedByName)->Unit(benchmark::kMillisecond);

// The same rows by hand: every row read, filtered, and sorted by the sort
// keys of the names.
void BM_CppNutaRichOrderedByName(benchmark::State& state) {
  if (!std::filesystem::exists(kLargeFile)) return state.SkipWithError("fixture nuta4-large.mdb is absent");
  const auto database = BenchWorkspace()->OpenDatabase(kLargeFile, false, true);
  const dao::sql::TextOrder order(dao::jet::TextCodec(dao::jet::Version::kJet4, 1252));
  long rows = 0;
  for (auto _ : state) {
    struct Row {
      std::vector<std::uint8_t> key;
      std::vector<Variant> values;
    };
    std::vector<Row> kept;
    const auto table = database->OpenRecordset("nuta", dao::dbOpenForwardOnly);
    const dao::FieldCollection& fields = table->Fields();
    const auto kcal = fields.Item("Kcal");
    const auto name = fields.Item("Nahrungsmittel");
    for (; !table->AtEOF(); table->MoveNext()) {
      const Variant energy = kcal->Value();
      if (energy.IsNull() || energy.ToDouble() <= 100) continue;
      Row row;
      for (const auto& field : fields) row.values.push_back(field->Value());
      const Variant text = name->Value();
      if (!text.IsNull()) row.key = order.Key(text.ToText());
      kept.push_back(std::move(row));
    }
    std::stable_sort(kept.begin(), kept.end(), [](const Row& a, const Row& b) { return a.key < b.key; });
    rows = static_cast<long>(kept.size());
    benchmark::DoNotOptimize(kept.data());
  }
  bench::ReportRowsPerSecond(state, 20'000);
  state.counters["result rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_CppNutaRichOrderedByName)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
