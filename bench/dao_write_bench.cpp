// Appending 100,000 rows of the converter's eight-column Nuta table through
// the DAO objects (CreateDatabase, TableDefs.Append, then AddNew, field
// values, Update per row): without indexes, with a primary key and a text
// index, and with every value given as locale text as the Access layer
// sends it; and appending them to an existing database that holds 100,000
// rows with both indexes already, where every group of page writes changes
// pages the file had (so the rollback journal saves them first). Reports
// rows per second (file creation and Close included).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bench/nuta_rows.h"
#include "bench/rows_per_second.h"
#include "dao/constants.h"
#include "dao/db_engine.h"
#include "platform/format_settings.h"

namespace {

enum class Variant { kPlain, kIndexed, kLocaleTexts };

std::shared_ptr<dao::Database> CreateNutaDatabase(dao::Workspace& workspace, const std::string& path, bool indexed) {
  std::filesystem::remove(path);
  auto database = workspace.CreateDatabase(path, dao::dbLangGeneral, dao::dbVersion40);
  auto table = database->CreateTableDef("Nuta");
  if (indexed) {
    auto id = table->CreateField("ID", dao::dbLong);
    id->SetAttributes(dao::dbAutoIncrField);
    table->Fields().Append(id);
  }
  const std::pair<const char*, int> columns[] = {{"Nahrungsmittel", dao::dbText}, {"Kcal", dao::dbLong},
                                                 {"Kjoule", dao::dbLong},         {"Fett", dao::dbSingle},
                                                 {"Kh", dao::dbSingle},           {"BE", dao::dbSingle},
                                                 {"Eiweiss", dao::dbSingle},      {"Rubrik", dao::dbText}};
  for (const auto& [name, type] : columns) table->Fields().Append(table->CreateField(name, type, type == dao::dbText ? 100 : 0));
  if (indexed) {
    auto primaryKey = table->CreateIndex("PrimaryKey");
    primaryKey->SetPrimary(true);
    primaryKey->Fields().Append(primaryKey->CreateField("ID"));
    table->Indexes().Append(primaryKey);
    auto byName = table->CreateIndex("Nahrungsmittel");
    byName->Fields().Append(byName->CreateField("Nahrungsmittel"));
    table->Indexes().Append(byName);
  }
  database->TableDefs().Append(table);
  return database;
}

void AppendRows(dao::Database& database, Variant variant) {
  auto recordset = database.OpenRecordset("Nuta", dao::dbOpenDynaset);
  // Field objects are looked up once, as the Access layer caches them.
  std::vector<std::shared_ptr<dao::Field>> fields;
  for (const char* name : {"Nahrungsmittel", "Kcal", "Kjoule", "Fett", "Kh", "BE", "Eiweiss", "Rubrik"}) {
    fields.push_back(recordset->Fields().Item(name));
  }
  for (int i = 0; i < bench::kNutaRows; ++i) {
    recordset->AddNew();
    fields[0]->SetValue(platform::Variant(bench::NutaFoodName(i)));
    if (variant == Variant::kLocaleTexts) {
      fields[1]->SetValue(platform::Variant(std::to_string(bench::NutaKcal(i))));
      fields[2]->SetValue(platform::Variant(std::to_string(bench::NutaKjoule(i))));
      for (std::size_t c = 3; c < 7; ++c) {
        fields[c]->SetValue(platform::Variant(std::to_string(i % 97) + "," + std::to_string(c * 25 % 100)));
      }
    } else {
      fields[1]->SetValue(platform::Variant(bench::NutaKcal(i)));
      fields[2]->SetValue(platform::Variant(bench::NutaKjoule(i)));
      for (std::size_t c = 3; c < 7; ++c) {
        fields[c]->SetValue(platform::Variant(static_cast<float>(bench::NutaNutrient(i, c))));
      }
    }
    fields[7]->SetValue(platform::Variant(bench::NutaCategory(i)));
    recordset->Update();
  }
  recordset->Close();
}

void AppendNutaRows(benchmark::State& state, Variant variant) {
  const std::string path = (std::filesystem::path(NUTARO_BINARY_DIR) / "dao_write_bench.mdb").string();
  const platform::ScopedFormatSettings german(platform::GermanFormatSettings());
  auto engine = dao::DBEngine::Create("DAO.DBEngine.36");
  auto workspace = engine->CreateWorkspace("bench", "Admin", "");
  for (auto _ : state) {
    auto database = CreateNutaDatabase(*workspace, path, variant == Variant::kIndexed);
    AppendRows(*database, variant);
    database->Close();
  }
  bench::ReportRowsPerSecond(state, bench::kNutaRows);
  std::filesystem::remove(path);
}

void BM_DaoAppendNutaToAnExistingIndexedDatabase(benchmark::State& state) {
  const std::filesystem::path folder(NUTARO_BINARY_DIR);
  const std::string existing = (folder / "dao_write_bench_existing.mdb").string();
  const std::string path = (folder / "dao_write_bench.mdb").string();
  const platform::ScopedFormatSettings german(platform::GermanFormatSettings());
  auto engine = dao::DBEngine::Create("DAO.DBEngine.36");
  auto workspace = engine->CreateWorkspace("bench", "Admin", "");
  {
    auto database = CreateNutaDatabase(*workspace, existing, true);
    AppendRows(*database, Variant::kIndexed);
    database->Close();
  }
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::copy_file(existing, path, std::filesystem::copy_options::overwrite_existing);
    state.ResumeTiming();
    auto database = workspace->OpenDatabase(path);
    AppendRows(*database, Variant::kIndexed);
    database->Close();
  }
  bench::ReportRowsPerSecond(state, bench::kNutaRows);
  std::filesystem::remove(path);
  std::filesystem::remove(existing);
}

void BM_DaoAppendNutaWithoutIndexes(benchmark::State& state) { AppendNutaRows(state, Variant::kPlain); }
void BM_DaoAppendNutaWithPrimaryKeyAndTextIndex(benchmark::State& state) { AppendNutaRows(state, Variant::kIndexed); }
void BM_DaoAppendNutaFromLocaleTexts(benchmark::State& state) { AppendNutaRows(state, Variant::kLocaleTexts); }

BENCHMARK(BM_DaoAppendNutaWithoutIndexes)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DaoAppendNutaWithPrimaryKeyAndTextIndex)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DaoAppendNutaFromLocaleTexts)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DaoAppendNutaToAnExistingIndexedDatabase)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
