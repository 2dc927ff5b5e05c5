#include "dao/jet/tests/process_support.h"

#include <unistd.h>

#include <iostream>

#include "dao/jet/database_writer.h"
#include "dao/jet/jet_database.h"
#include "dao/jet/new_database.h"
#include "dao/jet/table_writer.h"
#include "dao/jet/tests/write_test_support.h"

namespace dao::jet::testing {
namespace {

constexpr char kTable[] = "Rows";

std::vector<FieldValue> NumberedRow(int n) {
  // Every fifth row has a memo long enough to span long-value pages.
  const std::string note = n % 5 == 0 ? std::string(6000, static_cast<char>('a' + n % 26)) : "kurz " + std::to_string(n);
  return {FieldValue::Null(), FieldValue::Text("Zeile " + std::to_string(n * 7919 % 100000)), FieldValue::Integer(n),
          FieldValue::Text(note)};
}

}  // namespace

void CreateNumberedRowsDatabase(const std::string& path, int count) {
  CreateDatabaseFile(path, kJet4Layout, 45000.5);
  JetDatabase database(FileStorage::Open(path, true));
  DatabaseWriter writer(database.Pages(), database.GetLayout(), database.Codec());
  const std::uint32_t id = writer.CreateTable(
      kTable,
      {{"ID", ColumnType::kLong, 0, true}, {"Name", ColumnType::kText, 60, false, true},
       {"Amount", ColumnType::kLong}, {"Note", ColumnType::kMemo, 0, false, true}},
      {{"PrimaryKey", {{0, false}}, true}, {"Name", {{1, false}}}, {"Amount", {{2, false}}, false, true}}, 45000.5);
  TableWriter& table = writer.Table(id);
  for (int n = 0; n < count; ++n) {
    std::vector<FieldValue> values = NumberedRow(n);
    table.Insert(values);
  }
  database.Pages().Flush();
}

void AppendNumberedRows(const std::string& path, int limit, std::chrono::milliseconds flushInterval,
                        const std::function<void()>& opened) {
  JetDatabase database(FileStorage::Open(path, true));
  database.Pages().SetFlushInterval(flushInterval);
  if (opened) opened();
  DatabaseWriter writer(database.Pages(), database.GetLayout(), database.Codec());
  TableWriter& table = writer.Table(database.FindTable(kTable)->id);
  const int first = static_cast<int>(table.Definition().rowCount);
  for (int n = first; n < first + limit; ++n) {
    std::vector<FieldValue> values = NumberedRow(n);
    table.Insert(values);
  }
  database.Pages().Flush();
}

std::string NumberedRowsProblem(const std::string& path, int& rows, const SharingOptions& sharing) {
  JetDatabase database(FileStorage::Open(path, false, sharing));
  const CatalogEntry* entry = database.FindTable(kTable);
  if (entry == nullptr) return "the table is missing";
  const auto definition = database.Table(entry->id);
  PageWriter pages(database.Pages(), database.GetLayout());
  TableWriter table(pages, database.Codec(), *definition);
  std::size_t live = 0;
  table.ForEachRow([&](RowPointer, Bytes) { ++live; });
  if (live != definition->rowCount) {
    return "the definition counts " + std::to_string(definition->rowCount) + " rows, the table holds " +
           std::to_string(live);
  }
  for (std::size_t i = 0; i < definition->realIndexes.size(); ++i) {
    if (table.IndexEntries(i) != table.ExpectedIndexEntries(i)) return "index " + std::to_string(i) + " differs from the rows";
  }
  const auto stored = ReadRows(database.Pages(), database.GetLayout(), database.Codec(), *definition);
  rows = static_cast<int>(stored.size());
  for (int n = 0; n < rows; ++n) {
    const std::vector<platform::Variant>& values = stored[static_cast<std::size_t>(n)].second;
    const std::vector<FieldValue> expected = NumberedRow(n);
    if (values[0] != platform::Variant(static_cast<std::int32_t>(n + 1)) || values[1] != platform::Variant(expected[1].text) ||
        values[2] != platform::Variant(static_cast<std::int32_t>(n)) || values[3] != platform::Variant(expected[3].text)) {
      return "row " + std::to_string(n) + " is not the row that was added as number " + std::to_string(n);
    }
  }
  return {};
}

pid_t Spawn(const std::function<void()>& child) {
  std::cout.flush();
  std::cerr.flush();
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  try {
    child();
  } catch (const std::exception& error) {
    std::cerr << "child " << ::getpid() << ": " << error.what() << '\n';
    ::_exit(1);
  }
  ::_exit(0);
}

}  // namespace dao::jet::testing
