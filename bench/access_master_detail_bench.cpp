// A detail TAccessTable following its master: a master table of the 13
// Rubrik names and the 20,000 rows of nuta4-large.mdb (a copy) as the
// detail, opened on the table (a new "Select ... Where" per move) or on a
// stored query (the query's recordset filtered again per move). Reports
// master moves per second, each followed by the detail (its row count
// known afterwards).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "access/access_database.h"
#include "access/access_table.h"
#include "bench/rows_per_second.h"
#include "dao/constants.h"
#include "platform/format_settings.h"
#include "recordset/data_source.h"

namespace {

using namespace accessdb;

const char* const kRubriken[] = {"Obst",     "Gemüse & Kartoffeln", "Brot & Backwaren", "Teigwaren & Getreide",
                                 "Getränke", "Käse",                "Fisch",            "Süßwaren",
                                 "Fleisch & Geflügel", "Milch & Milchprodukte", "Wurstwaren", "Nüsse & Samen",
                                 "Fette & Öle"};

// A copy of nuta4-large.mdb with the table "Rubriken" (Name), connected.
std::unique_ptr<TAccessDatabase> PreparedDatabase() {
  const std::filesystem::path source = std::filesystem::path(NUTARO_FIXTURES_DIR) / "nutaro" / "nuta4-large.mdb";
  if (!std::filesystem::exists(source)) return nullptr;
  const std::filesystem::path copy = std::filesystem::path(NUTARO_BINARY_DIR) / "master_detail_bench.mdb";
  std::filesystem::copy_file(source, copy, std::filesystem::copy_options::overwrite_existing);
  auto database = std::make_unique<TAccessDatabase>("AccessDatabase1");
  database->SetVersion("3.6");
  database->SetDatabase(copy.string());
  database->SetConnected(true);
  database->CreateTable("Rubriken", {"Name"}, {dao::dbText}, {100}, {0}, {0});
  database->CreateQueryDef("AlleNuta", "SELECT * FROM nuta;");
  database->RefreshDefinitions();
  TAccessTable filler("Filler");
  filler.SetDatabase(database.get());
  filler.SetTableName("Rubriken");
  filler.SetActive(true);
  for (const char* name : kRubriken) {
    filler.AppendRow();
    filler.FieldNamed("Name").SetTextValue(name);
    filler.PostRow();
  }
  return database;
}

void FollowMaster(benchmark::State& state, bool byQuery) {
  const platform::ScopedFormatSettings german(platform::GermanFormatSettings());
  auto database = PreparedDatabase();
  if (!database) {
    state.SkipWithError("nuta4-large.mdb is absent");
    return;
  }
  TAccessTable master("Master");
  master.SetDatabase(database.get());
  master.SetTableName("Rubriken");
  recordset::TDataSource source;
  source.SetDataSet(&master);
  TAccessTable detail("Detail");
  detail.SetDatabase(database.get());
  if (byQuery) {
    detail.SetQueryDefName("AlleNuta");
  } else {
    detail.SetTableName("nuta");
  }
  detail.SetMasterSource(&source);
  detail.SetMasterFields({"Rubrik -> Name"});
  detail.SetActive(true);
  long shown = 0;
  for (auto _ : state) {
    master.GoNext();
    if (master.AtEnd()) master.GoFirst();
    shown += detail.RowCount();
  }
  benchmark::DoNotOptimize(shown);
  bench::ReportRowsPerSecond(state, 1, "moves/s");
}

void BM_DetailTableFollowsMaster(benchmark::State& state) { FollowMaster(state, false); }
void BM_DetailQueryFollowsMaster(benchmark::State& state) { FollowMaster(state, true); }

}  // namespace

BENCHMARK(BM_DetailTableFollowsMaster)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DetailQueryFollowsMaster)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
