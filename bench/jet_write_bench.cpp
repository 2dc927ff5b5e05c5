// Appending rows of the converter's eight-column Nuta table to a new Jet 4
// database, without indexes and with a primary key and a text index;
// reports rows per second (file creation and the final flush included).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bench/nuta_rows.h"
#include "bench/rows_per_second.h"
#include "dao/jet/new_database.h"
#include "dao/jet/page_writer.h"
#include "dao/jet/storage.h"
#include "dao/jet/table_creator.h"
#include "dao/jet/table_writer.h"

namespace {

using namespace dao::jet;

void AppendNutaRows(benchmark::State& state, bool indexed) {
  const std::string path = (std::filesystem::path(NUTARO_BINARY_DIR) / "jet_write_bench.mdb").string();
  const Layout& layout = kJet4Layout;
  for (auto _ : state) {
    std::filesystem::remove(path);
    CreateDatabaseFile(path, layout, 45000.5);
    PageFile file(FileStorage::Open(path, true), layout.pageSize);
    PageWriter pages(file, layout);
    const TextCodec codec(layout.version, kDefaultCodePage);
    std::vector<NewColumn> columns = {{"Nahrungsmittel", ColumnType::kText, 100, false, true},
                                      {"Kcal", ColumnType::kLong},     {"Kjoule", ColumnType::kLong},
                                      {"Fett", ColumnType::kSingle},   {"Kh", ColumnType::kSingle},
                                      {"BE", ColumnType::kSingle},     {"Eiweiss", ColumnType::kSingle},
                                      {"Rubrik", ColumnType::kText, 100, false, true}};
    std::vector<NewIndex> indexes;
    if (indexed) {
      columns.insert(columns.begin(), {"ID", ColumnType::kLong, 0, true});
      indexes = {{"PrimaryKey", {{0, false}}, true}, {"Nahrungsmittel", {{1, false}}}};
    }
    const std::uint32_t tdef = CreateTable(pages, codec, "Nuta", columns, indexes, 45000.5);
    TableWriter table(pages, codec, ReadTableDefinition(file, layout, codec, tdef));
    const std::size_t first = indexed ? 1 : 0;
    std::vector<FieldValue> values(columns.size());
    for (int i = 0; i < bench::kNutaRows; ++i) {
      values[first] = FieldValue::Text(bench::NutaFoodName(i));
      values[first + 1] = FieldValue::Integer(bench::NutaKcal(i));
      values[first + 2] = FieldValue::Integer(bench::NutaKjoule(i));
      for (std::size_t c = 3; c < 7; ++c) values[first + c] = FieldValue::Real(bench::NutaNutrient(i, c));
      values[first + 7] = FieldValue::Text(bench::NutaCategory(i));
      if (indexed) values[0] = FieldValue::Null();
      table.Insert(values);
    }
    file.Flush();
  }
  bench::ReportRowsPerSecond(state, bench::kNutaRows);
  std::filesystem::remove(path);
}

void BM_AppendNutaWithoutIndexes(benchmark::State& state) { AppendNutaRows(state, false); }
void BM_AppendNutaWithPrimaryKeyAndTextIndex(benchmark::State& state) { AppendNutaRows(state, true); }

BENCHMARK(BM_AppendNutaWithoutIndexes)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_AppendNutaWithPrimaryKeyAndTextIndex)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
