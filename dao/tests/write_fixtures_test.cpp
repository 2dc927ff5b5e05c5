// Rows added, changed and deleted through DAO in copies of Access-made
// databases and of the indexed Nutaro target (tables whose index entries
// can all be computed: texts within the General sort order's characters): after every batch each index
// holds exactly the entries its rows call for, and at the end our reader,
// mdb-export and mdb-reader each still read every untouched row as before
// and agree on which rows the table holds.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <random>
#include <set>

#include "dao/jet/database_writer.h"
#include "dao/jet/storage.h"
#include "dao/jet/tests/external_readers.h"
#include "dao/jet/tests/file_checks.h"
#include "dao/tests/fixture_support.h"
#include "dao/tests/write_support.h"

namespace dao {
namespace {

using platform::Variant;
// A table's rows as one reader shows them: the rendered row by its key.
using ReaderView = std::map<std::string, std::string>;

struct Case {
  const char* file;
  const char* table;
  const char* key;  // a column whose values identify the rows
};

std::string Render(const Variant& value) { return value.IsNull() ? "(null)" : value.ToText(); }

std::string Render(const testing::Json& value) {
  switch (value.kind) {
    case testing::Json::Kind::kNull: return "null";
    case testing::Json::Kind::kBoolean: return value.boolean ? "true" : "false";
    case testing::Json::Kind::kNumber: return value.text;
    case testing::Json::Kind::kString: return "\"" + value.text + "\"";
    default: {
      std::string text = "[";
      for (const testing::Json& item : value.items) text += Render(item) + ",";
      return text + "]";
    }
  }
}

class WriteFixturesTest : public testing::WritingTest, public ::testing::WithParamInterface<Case> {
 protected:
  ReaderView OurView(Database& database) {
    ReaderView view;
    const auto rows = database.OpenRecordset(GetParam().table, dbOpenSnapshot);
    for (; !rows->AtEOF(); rows->MoveNext()) {
      std::string rendered;
      for (const auto& field : rows->Fields()) rendered += Render(field->Value()) + "|";
      view[Render(rows->Fields().Item(GetParam().key)->Value())] = rendered;
    }
    return view;
  }

  ReaderView MdbExportView(const std::string& file) {
    const auto csv = jet::testing::MdbExport(file, GetParam().table);
    EXPECT_TRUE(csv);
    const std::string path = Path("export.csv");
    std::ofstream(path) << csv.value_or("");
    const std::vector<testing::CsvRow> rows = testing::ReadCsvFile(path);
    ReaderView view;
    if (rows.empty()) return view;
    std::size_t key = 0;
    while (key < rows[0].size() && rows[0][key].text != GetParam().key) ++key;
    for (std::size_t r = 1; r < rows.size(); ++r) {
      std::string rendered;
      for (const testing::CsvCell& cell : rows[r]) rendered += (cell.quoted ? "\"" : "") + cell.text + "|";
      view[rows[r].at(key).text] = rendered;
    }
    return view;
  }

  ReaderView MdbReaderView(const std::string& file) {
    const auto json = jet::testing::MdbReaderJson(file, GetParam().table);
    EXPECT_TRUE(json);
    const testing::Json document = testing::ParseJson(json.value_or("{\"tables\":[{}]}"));
    const testing::Json& table = document["tables"].items.at(0);
    std::size_t key = 0;
    while (key < table["columns"].items.size() && table["columns"].items[key]["name"].text != GetParam().key) ++key;
    ReaderView view;
    for (const testing::Json& row : table["rows"].items) view[row.items.at(key).text] = Render(row);
    return view;
  }

  // Checks that every index of the table holds exactly its rows' entries.
  void ExpectIndexesExact(const std::string& file, std::uint32_t tableId) {
    std::unique_ptr<jet::Storage> storage = jet::FileStorage::Open(file, false);
    std::vector<std::uint8_t> bytes(storage->Size());
    storage->Read(0, bytes);
    const jet::Layout& layout = bytes[jet::kVersionOffset] == jet::kJet4VersionByte ? jet::kJet4Layout : jet::kJet3Layout;
    jet::PageFile pages(std::make_unique<jet::MemoryStorage>(std::move(bytes)), layout.pageSize);
    const jet::TextCodec codec(layout.version, jet::kDefaultCodePage);
    jet::DatabaseWriter writer(pages, layout, codec);
    jet::TableWriter& table = writer.Table(tableId);
    for (std::size_t i = 0; i < table.Definition().realIndexes.size(); ++i)
      EXPECT_EQ(table.IndexEntries(i), table.ExpectedIndexEntries(i)) << "index " << i;
  }
};

// A variation of the current row that keeps every value within its field:
// texts get a number, long integers grow. AutoNumber fields and the fields
// of relationships keep their values.
void Vary(Recordset& rows, const std::set<std::string>& fixed, bool newRow, std::mt19937& random) {
  std::vector<Variant> values;
  for (const auto& field : rows.Fields()) values.push_back(field->Value());
  if (newRow) rows.AddNew();
  else rows.Edit();
  for (std::size_t i = 0; i < values.size(); ++i) {
    const auto& field = rows.Fields().Item(static_cast<int>(i));
    if ((field->Attributes() & dbAutoIncrField) != 0 || values[i].IsNull() || field->Type() == dbDecimal) continue;
    Variant value = values[i];
    if (fixed.count(field->Name()) == 0) {
      if (field->Type() == dbText && value.ToText().size() + 4 <= static_cast<std::size_t>(field->Size())) {
        value = Variant(value.ToText() + " " + std::to_string(random() % 100));
      } else if (field->Type() == dbLong) {
        value = Variant(static_cast<std::int32_t>(value.ToInt32() % 1000000 + static_cast<std::int32_t>(random() % 1000)));
      }
    }
    if (newRow || !(value == values[i])) field->SetValue(value);
  }
}

TEST_P(WriteFixturesTest, ChangesKeepUntouchedRowsAndEveryIndexExact) {
  const auto source = testing::FixturesDir() / GetParam().file;
  if (testing::FixturesDir().empty() || !std::filesystem::exists(source)) GTEST_SKIP() << source << " is absent";
  const std::string file = Path("copy.mdb");
  std::filesystem::copy_file(source, file);
  const bool external = jet::testing::HaveMdbTools() && jet::testing::HaveMdbReader();
  ReaderView exportBefore, readerBefore;
  if (external) {
    exportBefore = MdbExportView(file);
    readerBefore = MdbReaderView(file);
  }

  auto database = workspace_->OpenDatabase(file);
  const ReaderView oursBefore = OurView(*database);
  const auto& tableDef = database->TableDefs().Item(GetParam().table);
  const std::uint32_t tableId = tableDef->Source()->Id();
  std::set<std::string> fixed;  // fields of relationships
  for (const auto& index : tableDef->Indexes()) {
    if (!index->Foreign()) continue;
    for (const auto& field : index->Fields()) fixed.insert(field->Name());
  }
  // Every other row of the file stays as it is (it still serves as the
  // model of new rows); the others may be changed or deleted.
  std::set<std::string> unchanged;
  bool keep = true;
  for (const auto& entry : oursBefore) {
    if (keep) unchanged.insert(entry.first);
    keep = !keep;
  }
  std::set<std::string> touched;  // keys of rows added, changed or deleted
  std::mt19937 random(29);
  int refused = 0;
  for (int batch = 0; batch < 4; ++batch) {
    auto rows = database->OpenRecordset(GetParam().table, dbOpenDynaset);
    for (int op = 0; op < 100; ++op) {
      rows->MoveLast();
      const long count = rows->RecordCount();
      rows->SetAbsolutePosition(static_cast<long>(random() % static_cast<unsigned>(count)));
      const auto& key = rows->Fields().Item(GetParam().key);
      const std::string oldKey = Render(key->Value());
      const unsigned kind = unchanged.count(oldKey) != 0 ? 0 : random() % 4;
      try {
        if (kind == 3) {
          if (count <= 3) continue;
          rows->Delete();
          touched.insert(oldKey);
          continue;
        }
        Vary(*rows, fixed, kind < 2, random);
        rows->Update();
        if (kind >= 2) touched.insert(oldKey);
        rows->SetBookmark(rows->LastModified());
        touched.insert(Render(key->Value()));
      } catch (const DaoError& error) {
        // Variations may meet existing keys, or hold characters that the
        // sort order of a text index does not order; they are refused.
        ASSERT_TRUE(error.Number() == 3022 || error.Number() == 3251) << error.what();
        ASSERT_EQ(rows->EditMode(), kind < 2 ? dbEditAdd : dbEditInProgress);
        rows->CancelUpdate();
        ++refused;
      }
    }
    database->Close();
    ExpectIndexesExact(file, tableId);
    database = workspace_->OpenDatabase(file);
  }
  EXPECT_LT(refused, 200);
  EXPECT_GT(touched.size(), 150u);

  const ReaderView oursAfter = OurView(*database);
  EXPECT_EQ(static_cast<std::size_t>(database->TableDefs().Item(GetParam().table)->RecordCount()), oursAfter.size());
  const auto expectUntouchedKept = [&](const ReaderView& before, const ReaderView& after, const char* reader) {
    std::size_t kept = 0;
    for (const auto& [key, row] : before) {
      if (touched.count(key) != 0) continue;
      const auto found = after.find(key);
      ASSERT_NE(found, after.end()) << reader << " lost row " << key;
      EXPECT_EQ(found->second, row) << reader << " row " << key;
      ++kept;
    }
    EXPECT_GT(kept, 0u) << reader;
  };
  expectUntouchedKept(oursBefore, oursAfter, "our reader");
  database->Close();
  jet::testing::ExpectFileKeepsTheChecklist(file);
  if (!external) GTEST_SKIP() << "mdbtools or mdb-reader missing";
  const ReaderView exportAfter = MdbExportView(file);
  const ReaderView readerAfter = MdbReaderView(file);
  expectUntouchedKept(exportBefore, exportAfter, "mdb-export");
  expectUntouchedKept(readerBefore, readerAfter, "mdb-reader");
  const auto keys = [](const ReaderView& view) {
    std::vector<std::string> keys;
    for (const auto& entry : view) keys.push_back(entry.first);
    return keys;
  };
  EXPECT_EQ(keys(exportAfter), keys(oursAfter));
  EXPECT_EQ(keys(readerAfter), keys(oursAfter));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, WriteFixturesTest,
                         ::testing::Values(Case{"nutaro/nuta4-target-indexed.mdb", "Nuta", "ID"},
                                           Case{"access/v1997-testIndexCodes.mdb", "Table1", "name"},
                                           Case{"access/v1997-indexTest.mdb", "Table1", "id"},
                                           Case{"access/v2000-test.mdb", "Table1", "A"},
                                           Case{"access/v2000-testIndexProperties.mdb", "TableUnique2_temp", "row"},
                                           Case{"access/v1997-testIndexCodes.mdb", "Table11", "id"}),
                         [](const auto& info) {
                           std::string name = std::string(info.param.file) + info.param.table;
                           name = name.substr(name.find('/') + 1);
                           std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
                           return name;
                         });

}  // namespace
}  // namespace dao
