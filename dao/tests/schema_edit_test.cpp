// Changing stored tables: indexes added to and deleted from the tables of
// the Access fixtures keep every other byte of their definitions and are
// filled exactly; columns added to tables with rows; tables deleted with
// their pages. The files stay readable by the independent readers and pass
// the structural checks.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "dao/constants.h"
#include "dao/db_engine.h"
#include "dao/jet/database_writer.h"
#include "dao/jet/format.h"
#include "dao/jet/storage.h"
#include "dao/jet/tests/external_readers.h"
#include "dao/jet/tests/file_checks.h"
#include "dao/jet/tests/fixture_files.h"
#include "dao/tests/write_support.h"

namespace dao {
namespace {

using platform::Variant;

// The definition stream of the table at `tdefPage` as the file holds it.
std::vector<std::uint8_t> StoredDefinition(const std::string& file, std::uint32_t tdefPage) {
  const std::vector<std::uint8_t> bytes = jet::testing::ReadFileBytes(file);
  const std::size_t pageSize = bytes[jet::kVersionOffset] == jet::kJet4VersionByte ? 4096 : 2048;
  std::vector<std::uint8_t> stream;
  for (std::uint32_t page = tdefPage; page != 0;) {
    const std::uint8_t* start = bytes.data() + page * pageSize;
    stream.insert(stream.end(), start + (stream.empty() ? 0 : jet::kTdefPageHeaderSize), start + pageSize);
    page = jet::LoadU32(start + jet::kTdefNextPageOffset);
  }
  stream.resize(jet::LoadU32(stream.data() + jet::kTdefLengthOffset));
  // The page header's own fields (free space, next page) may differ.
  std::fill(stream.begin() + 2, stream.begin() + jet::kTdefPageHeaderSize, 0);
  return stream;
}

// The file at `path` read whole into memory, with its layout and codec,
// for looking at its pages without touching it.
struct FileInMemory {
  explicit FileInMemory(const std::string& path)
      : bytes(jet::testing::ReadFileBytes(path)),
        layout(bytes[jet::kVersionOffset] == jet::kJet4VersionByte ? &jet::kJet4Layout : &jet::kJet3Layout),
        pages(std::make_unique<jet::MemoryStorage>(bytes), layout->pageSize),
        codec(layout->version, jet::kDefaultCodePage) {}
  std::vector<std::uint8_t> bytes;
  const jet::Layout* layout;
  jet::PageFile pages;
  jet::TextCodec codec;
};

// Real index `real` of the table holds exactly the entries of its rows.
void ExpectIndexExact(const std::string& file, std::uint32_t tableId, std::size_t real) {
  FileInMemory stored(file);
  jet::DatabaseWriter writer(stored.pages, *stored.layout, stored.codec);
  jet::TableWriter& table = writer.Table(tableId);
  EXPECT_EQ(table.IndexEntries(real), table.ExpectedIndexEntries(real));
}

std::size_t RealIndexCount(const std::string& file, std::uint32_t tdefPage) {
  const std::vector<std::uint8_t> stream = StoredDefinition(file, tdefPage);
  const bool jet4 = jet::testing::ReadFileBytes(file)[jet::kVersionOffset] == jet::kJet4VersionByte;
  return jet::LoadU32(stream.data() + (jet4 ? jet::kJet4Layout : jet::kJet3Layout).tdefRealIndexCountOffset);
}

class SchemaEditTest : public testing::WritingTest {
 protected:
  // The user tables of `database` with their ids (tdef pages).
  std::vector<std::pair<std::string, std::uint32_t>> UserTables(Database& database) {
    std::vector<std::pair<std::string, std::uint32_t>> tables;
    const auto rows = database.OpenRecordset("SELECT Name, Id FROM MSysObjects WHERE Type = 1 AND Flags = 0", dbOpenSnapshot);
    for (; !rows->AtEOF(); rows->MoveNext()) {
      tables.emplace_back(rows->Fields().Item(0)->Value().ToText(), static_cast<std::uint32_t>(rows->Fields().Item(1)->Value().ToInt32()));
    }
    return tables;
  }
};

TEST_F(SchemaEditTest, AccessMadeTablesTakeAndLoseIndexesKeepingTheRestOfTheirDefinitions) {
  int edited = 0;
  for (const auto& source : jet::testing::FixtureDatabases()) {
    if (source.parent_path().filename() != "access") continue;
    SCOPED_TRACE(source.filename().string());
    const std::string file = Path(source.filename().string());
    std::filesystem::copy_file(source, file);
    auto database = workspace_->OpenDatabase(file);
    for (const auto& [name, id] : UserTables(*database)) {
      SCOPED_TRACE(name);
      const auto table = database->TableDefs().Item(name);
      std::string column;
      for (const auto& field : table->Fields()) {
        const int type = field->Type();
        if (column.empty() && type != dbMemo && type != dbLongBinary) column = field->Name();
      }
      if (column.empty()) continue;
      database->Close();
      const std::vector<std::uint8_t> before = StoredDefinition(file, id);
      database = workspace_->OpenDatabase(file);
      auto index = database->TableDefs().Item(name)->CreateIndex("ZzNutaro");
      index->Fields().Append(index->CreateField(column));
      const int appended = ErrorOf([&] { database->TableDefs().Item(name)->Indexes().Append(index); });
      // 3251: a text the sort order cannot key (characters beyond its table).
      if (appended == 3251) continue;
      ASSERT_EQ(appended, 0);
      database->Close();
      ExpectIndexExact(file, id, RealIndexCount(file, id) - 1);
      jet::testing::ExpectFileKeepsTheChecklist(file);
      database = workspace_->OpenDatabase(file);
      const auto rows = database->OpenRecordset(name, dbOpenTable);
      rows->SetIndex("ZzNutaro");
      long walked = 0;
      for (; !rows->AtEOF(); rows->MoveNext()) ++walked;
      EXPECT_EQ(walked, rows->RecordCount());
      rows->Close();
      database->TableDefs().Item(name)->Indexes().Delete("ZzNutaro");
      database->Close();
      const std::vector<std::uint8_t> after = StoredDefinition(file, id);
      EXPECT_EQ(after.size(), before.size());
      for (std::size_t i = 0; i < std::min(after.size(), before.size()); ++i) {
        if (after[i] != before[i]) ADD_FAILURE() << "byte " << i << ": " << int(before[i]) << " became " << int(after[i]);
      }
      ++edited;
      database = workspace_->OpenDatabase(file);
    }
    database->Close();
    jet::testing::ExpectFileKeepsTheChecklist(file);
    if (jet::testing::HaveMdbTools()) {
      for (const auto& [name, id] : UserTables(*workspace_->OpenDatabase(file, false, true))) {
        EXPECT_TRUE(jet::testing::MdbExport(file, name)) << name;
      }
    }
  }
  if (jet::testing::FixtureDatabases().empty()) GTEST_SKIP() << "fixture folder is absent";
  EXPECT_GT(edited, 20);
}

// mdb-schema's index statements for `file`, with what it says on standard
// error: it names each index with its columns.
std::string MdbIndexStatements(const std::string& file) {
  return jet::testing::RunCommand("mdb-schema --indexes '" + file + "' postgres 2>&1").value_or("<mdb-schema failed>");
}

// The names of the logical indexes that the foreign keys of every table
// name in the table at `tablePage`, by foreign key.
std::map<std::string, std::string> RelatedIndexNames(const std::string& file, std::uint32_t tablePage,
                                                     const std::vector<std::uint32_t>& tables) {
  FileInMemory stored(file);
  const auto definition = [&](std::uint32_t page) {
    return jet::ReadTableDefinition(stored.pages, *stored.layout, stored.codec, page);
  };
  const jet::TableDefinition target = definition(tablePage);
  std::map<std::string, std::string> related;
  for (const std::uint32_t table : tables) {
    for (const jet::LogicalIndex& index : definition(table).logicalIndexes) {
      if (index.kind != jet::kIndexKindForeign || index.relatedTablePage != tablePage) continue;
      std::string& name = related[std::to_string(table) + " " + index.name];
      for (const jet::LogicalIndex& named : target.logicalIndexes) {
        if (named.number == index.relatedIndex) name = named.name;
      }
    }
  }
  return related;
}

TEST_F(SchemaEditTest, DeletingAnIndexRenumbersTheOthersSoEveryReaderFindsThem) {
  // The primary key is made first: its real index is number 0.
  auto database = NewDatabase("first.mdb");
  database->Execute("CREATE TABLE Food (Id LONG CONSTRAINT PrimaryKey PRIMARY KEY, Name TEXT(40), Kcal LONG)");
  database->Execute("CREATE INDEX ByName ON Food (Name)");
  database->Execute("CREATE INDEX ByKcal ON Food (Kcal DESC, Name)");
  for (int i = 0; i < 300; ++i) {
    database->Execute("INSERT INTO Food VALUES (" + std::to_string(i) + ", 'food " + std::to_string(i % 37) + "', " +
                      std::to_string(i % 11) + ")");
  }
  database->TableDefs().Item("Food")->Indexes().Delete("PrimaryKey");
  database->Close();
  const std::string file = Path("first.mdb");
  jet::testing::ExpectFileKeepsTheChecklist(file);
  ExpectIndexExact(file, UserTables(*workspace_->OpenDatabase(file, false, true)).front().second, 0);
  ExpectIndexExact(file, UserTables(*workspace_->OpenDatabase(file, false, true)).front().second, 1);
  if (jet::testing::HaveMdbTools()) {
    const std::string statements = MdbIndexStatements(file);
    EXPECT_EQ(statements.find("ERROR"), std::string::npos) << statements;
    EXPECT_NE(statements.find("ON \"food\" (\"name\")"), std::string::npos) << statements;
    EXPECT_NE(statements.find("ON \"food\" (\"kcal\""), std::string::npos) << statements;
  }

  database = workspace_->OpenDatabase(file);
  database->Execute("DROP INDEX ByKcal ON Food");
  database->Execute("CREATE UNIQUE INDEX ById ON Food (Id)");
  database->Execute("DROP INDEX ByName ON Food");
  const auto rows = database->OpenRecordset("Food", dbOpenTable);
  rows->SetIndex("ById");
  rows->Seek("=", {Variant(123)});
  ASSERT_FALSE(rows->NoMatch());
  EXPECT_EQ(rows->Fields().Item("Name")->Value(), Variant("food 12"));
  rows->Close();
  database->Close();
  jet::testing::ExpectFileKeepsTheChecklist(file);
  if (jet::testing::HaveMdbTools()) {
    const std::string statements = MdbIndexStatements(file);
    EXPECT_EQ(statements.find("ERROR"), std::string::npos) << statements;
    EXPECT_NE(statements.find("ON \"food\" (\"id\")"), std::string::npos) << statements;
  }
  if (jet::testing::HaveMdbReader()) EXPECT_TRUE(jet::testing::MdbReaderJson(file, "Food").has_value());
}

TEST_F(SchemaEditTest, ForeignKeysFollowTheIndexesOfTheTableTheyName) {
  const auto fixtures = jet::testing::FixtureDatabases();
  const auto source = std::find_if(fixtures.begin(), fixtures.end(),
                                   [](const auto& path) { return path.filename() == "v1997-indexTest.mdb"; });
  if (source == fixtures.end()) GTEST_SKIP() << "fixture folder is absent";
  const std::string file = Path("relations.mdb");
  std::filesystem::copy_file(*source, file);
  auto database = workspace_->OpenDatabase(file);
  const auto tables = UserTables(*database);
  std::vector<std::uint32_t> ids;
  for (const auto& [name, id] : tables) ids.push_back(id);
  std::size_t checked = 0;
  for (const auto& [name, id] : tables) {
    const auto before = RelatedIndexNames(file, id, ids);
    if (before.empty()) continue;
    SCOPED_TRACE(name);
    // Every index no relationship names goes, the first ones first.
    std::vector<std::string> free;
    for (const auto& index : database->TableDefs().Item(name)->Indexes()) {
      bool named = false;
      for (const auto& [key, related] : before) named = named || related == index->Name();
      if (!named && !index->Foreign()) free.push_back(index->Name());
    }
    ASSERT_FALSE(free.empty());
    for (const std::string& index : free) database->TableDefs().Item(name)->Indexes().Delete(index);
    database->Close();
    EXPECT_EQ(RelatedIndexNames(file, id, ids), before);
    jet::testing::ExpectFileKeepsTheChecklist(file);
    database = workspace_->OpenDatabase(file);
    ++checked;
  }
  database->Close();
  EXPECT_GT(checked, 0u);
  if (jet::testing::HaveMdbTools()) EXPECT_EQ(MdbIndexStatements(file).find("ERROR"), std::string::npos);
}

TEST_F(SchemaEditTest, ColumnsJoinTablesWithRowsWhichReadNullInThem) {
  auto database = NewDatabase("columns.mdb");
  database->Execute("CREATE TABLE Food (Id COUNTER PRIMARY KEY, Name TEXT(40))");
  for (int i = 0; i < 50; ++i) database->Execute("INSERT INTO Food (Name) VALUES ('food " + std::to_string(i) + "')");
  database->Execute("ALTER TABLE Food ADD COLUMN Kcal LONG");
  database->Execute("ALTER TABLE Food ADD Note MEMO");
  EXPECT_EQ(ErrorOf([&] { database->Execute("ALTER TABLE Food ADD COLUMN Kcal DOUBLE"); }), 3380);
  EXPECT_EQ(ErrorOf([&] { database->Execute("ALTER TABLE Food ADD COLUMN Must TEXT(5) NOT NULL"); }), 3314);
  EXPECT_FALSE(database->TableDefs().Item("Food")->Fields().Contains("Must"));
  EXPECT_EQ(ErrorOf([&] { database->Execute("UPDATE Food SET Kcal = Id * 10, Note = String(Id, 'x')"); }), 3085);
  database->Execute("UPDATE Food SET Kcal = Id * 10, Note = Space(Id * 100) & 'x' WHERE Id <= 10");
  EXPECT_EQ(database->RecordsAffected(), 10);
  database->Execute("CREATE INDEX ByKcal ON Food (Kcal)");
  const auto table = database->TableDefs().Item("Food");
  auto field = table->CreateField("Added", dbDouble);
  table->Fields().Append(field);
  EXPECT_EQ(field->OrdinalPosition(), 4);
  const auto rows = database->OpenRecordset("SELECT Kcal, Len(Note), Added FROM Food WHERE Id IN (3, 30)", dbOpenSnapshot);
  EXPECT_EQ(rows->Fields().Item(0)->Value(), Variant(30));
  EXPECT_EQ(rows->Fields().Item(1)->Value(), Variant(301));
  rows->MoveNext();
  EXPECT_TRUE(rows->Fields().Item(0)->Value().IsNull());
  EXPECT_TRUE(rows->Fields().Item(1)->Value().IsNull());
  rows->Close();
  database->Close();
  jet::testing::ExpectFileKeepsTheChecklist(Path("columns.mdb"));
  if (!jet::testing::HaveMdbTools()) GTEST_SKIP() << "mdbtools missing";
  const std::optional<std::string> exported = jet::testing::MdbExport(Path("columns.mdb"), "Food");
  ASSERT_TRUE(exported);
  EXPECT_NE(exported->find("3,\"food 2\",30,\"" + std::string(300, ' ') + "x\","), std::string::npos);
  EXPECT_NE(exported->find("30,\"food 29\",NULL,NULL,NULL"), std::string::npos) << *exported;
}

TEST_F(SchemaEditTest, TablesAreDeletedWithTheirPages) {
  auto database = NewDatabase("drop.mdb");
  database->Execute("CREATE TABLE Keep (Id LONG PRIMARY KEY, Name TEXT(10))");
  database->Execute("CREATE TABLE Go (Id LONG PRIMARY KEY, Note MEMO, Name TEXT(50))");
  database->Execute("CREATE INDEX ByName ON Go (Name)");
  for (int i = 0; i < 300; ++i) {
    database->Execute("INSERT INTO Go VALUES (" + std::to_string(i) + ", Space(3000) & 'n', 'name " + std::to_string(i) + "')");
  }
  database->Execute("INSERT INTO Keep VALUES (1, 'kept')");
  const auto open = database->OpenRecordset("Go", dbOpenDynaset);
  EXPECT_EQ(ErrorOf([&] { database->TableDefs().Delete("Go"); }), 3211);
  open->Close();
  database->Execute("DROP TABLE Go");
  EXPECT_FALSE(database->TableDefs().Contains("Go"));
  EXPECT_EQ(ErrorOf([&] { database->Execute("DROP TABLE Go"); }), 3376);
  EXPECT_EQ(ErrorOf([&] { database->TableDefs().Delete("MSysObjects"); }), 3251);
  database->Execute("CREATE TABLE Again (Id LONG, Note MEMO)");
  for (int i = 0; i < 200; ++i) database->Execute("INSERT INTO Again VALUES (" + std::to_string(i) + ", Space(3000))");
  database->Close();
  jet::testing::ExpectFileKeepsTheChecklist(Path("drop.mdb"));
  if (!jet::testing::HaveMdbTools()) GTEST_SKIP() << "mdbtools missing";
  const std::optional<std::string> tables = jet::testing::MdbTables(Path("drop.mdb"), false);
  ASSERT_TRUE(tables);
  EXPECT_TRUE(*tables == "Again\nKeep\n" || *tables == "Keep\nAgain\n") << *tables;
  EXPECT_NE(jet::testing::MdbExport(Path("drop.mdb"), "Keep").value_or("").find("kept"), std::string::npos);
}

}  // namespace
}  // namespace dao
