// Creating databases, tables, indexes and field properties through DAO:
// what is created, and what DAO refuses without leaving anything behind.

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "dao/jet/database_writer.h"
#include "dao/jet/storage.h"
#include "dao/jet/tests/fixture_files.h"
#include "dao/tests/write_support.h"

namespace dao {
namespace {

using platform::Variant;

class SchemaWriteTest : public testing::WritingTest {
 protected:
  // Table "Food" with an AutoNumber key, a text and a number field.
  std::shared_ptr<Database> FoodDatabase(const std::string& name) {
    auto database = NewDatabase(name);
    auto table = database->CreateTableDef("Food");
    testing::AppendField(*table, "ID", dbLong, 0, dbAutoIncrField);
    testing::AppendField(*table, "Name", dbText, 40);
    testing::AppendField(*table, "Kcal", dbLong);
    testing::AppendIndex(*table, "PrimaryKey", {"ID"}, true);
    database->TableDefs().Append(table);
    return database;
  }

  std::vector<std::string> FolderEntries() const {
    const std::set<std::string> names = folder_.Listing();
    return {names.begin(), names.end()};
  }
};

TEST_F(SchemaWriteTest, NewDatabasesHaveTheirFormatAndExistingFilesStayUntouched) {
  auto jet4 = NewDatabase("four.mdb", dbVersion40);
  EXPECT_EQ(jet4->Version(), "4.0");
  EXPECT_EQ(jet4->CollatingOrder(), dbSortGeneral);
  EXPECT_TRUE(jet4->Updatable());
  jet4->Close();
  // Without an extension the file gets ".mdb", as DAO names it.
  auto jet3 = workspace_->CreateDatabase(Path("three"), dbLangGeneral, dbVersion30);
  EXPECT_EQ(jet3->Name(), Path("three.mdb"));
  EXPECT_EQ(jet3->Version(), "3.0");
  jet3->Close();
  EXPECT_EQ(workspace_->OpenDatabase(Path("three.mdb"))->Version(), "3.0");
  // A DAO 3.5 engine makes Jet 3 files and no others.
  auto old = DBEngine::Create("DAO.DBEngine.35")->CreateWorkspace("old", "Admin", "");
  EXPECT_EQ(old->CreateDatabase(Path("old.mdb"), dbLangGeneral)->Version(), "3.0");

  const std::vector<std::uint8_t> before = jet::testing::ReadFileBytes(Path("four.mdb"));
  EXPECT_EQ(ErrorOf([&] { NewDatabase("four.mdb", dbVersion30); }), 3204);
  EXPECT_EQ(engine_->Errors().Item(0).description, "Database already exists.");
  EXPECT_EQ(jet::testing::ReadFileBytes(Path("four.mdb")), before);

  // Refused creations leave nothing behind, not even a temporary file.
  const std::vector<std::string> files = FolderEntries();
  EXPECT_EQ(ErrorOf([&] { workspace_->CreateDatabase(Path("missing/x.mdb"), dbLangGeneral, dbVersion40); }), 3044);
  EXPECT_EQ(ErrorOf([&] { workspace_->CreateDatabase(Path("nordic.mdb"), ";LANGID=0x0406;CP=1252;COUNTRY=0", 0); }),
            3001);
  EXPECT_EQ(ErrorOf([&] { NewDatabase("accdb.mdb", dbVersion120); }), 3001);
  EXPECT_EQ(ErrorOf([&] { NewDatabase("secret.mdb", dbVersion40 | dbEncrypt); }), 3001);
  EXPECT_EQ(ErrorOf([&] { old->CreateDatabase(Path("new.mdb"), dbLangGeneral, dbVersion40); }), 3001);
  EXPECT_EQ(FolderEntries(), files);

  // A password in the locale protects the new file.
  workspace_->CreateDatabase(Path("locked.mdb"), std::string(dbLangGeneral) + ";PWD=Kalorie", dbVersion40)->Close();
  EXPECT_EQ(ErrorOf([&] { workspace_->OpenDatabase(Path("locked.mdb")); }), 3031);
  EXPECT_EQ(workspace_->OpenDatabase(Path("locked.mdb"), false, false, ";PWD=Kalorie")->Version(), "4.0");
}

TEST_F(SchemaWriteTest, AFileHasOneWriterAtATime) {
  // The database DAO returns is let go at once, as the Access layer does;
  // that closes it, so the file can be opened for writing again.
  NewDatabase("shared.mdb");
  EXPECT_EQ(workspace_->Databases().Count(), 0);
  auto writer = workspace_->OpenDatabase(Path("shared.mdb"));
  EXPECT_EQ(workspace_->Databases().Count(), 1);
  // A second writer would overwrite the first one's pages.
  auto other = engine_->CreateWorkspace("other", "Admin", "");
  EXPECT_EQ(ErrorOf([&] { other->OpenDatabase(Path("shared.mdb")); }), 3045);
  EXPECT_FALSE(other->OpenDatabase(Path("shared.mdb"), false, true)->Updatable());
  // What depends on a closed database is closed with it.
  const auto& tables = writer->TableDefs();
  writer->Close();
  EXPECT_EQ(ErrorOf([&] { tables.Item(0)->Fields(); }), 3420);
  EXPECT_TRUE(other->OpenDatabase(Path("shared.mdb"))->Updatable());
}

TEST_F(SchemaWriteTest, TablesAreStoredAsDescribed) {
  for (const int version : {dbVersion40, dbVersion30}) {
    SCOPED_TRACE(version);
    auto database = NewDatabase("types" + std::to_string(version) + ".mdb", version);
    auto table = database->CreateTableDef("Types");
    const std::vector<std::tuple<const char*, int, int>> fields = {
        {"Flag", dbBoolean, 0},   {"Small", dbByte, 0},     {"Int", dbInteger, 0}, {"Auto", dbLong, 0},
        {"Money", dbCurrency, 0}, {"Single", dbSingle, 0},  {"Dbl", dbDouble, 0},  {"When", dbDate, 0},
        {"Bin", dbBinary, 50},    {"Txt", dbText, 0},        {"Ole", dbLongBinary, 0}, {"Memo", dbMemo, 0},
        {"Id", dbGUID, 0}};
    for (const auto& [name, type, size] : fields) testing::AppendField(*table, name, type, size);
    table->Fields().Item("Auto")->SetAttributes(dbAutoIncrField);
    testing::AppendIndex(*table, "PrimaryKey", {"Auto"}, true);
    testing::AppendIndex(*table, "ByWhenAndText", {"-When", "Txt"}, false, true);
    auto sparse = testing::AppendIndex(*table, "Sparse", {"Int"});
    EXPECT_EQ(ErrorOf([&] { sparse->SetIgnoreNulls(true); }), 0);
    database->TableDefs().Append(table);
    // The appended object is now the stored table.
    EXPECT_EQ(table->Fields().Item("Txt")->Size(), 255);
    EXPECT_EQ(ErrorOf([&] { table->Fields().Item("Txt")->SetSize(10); }), 3219);
    database->Close();

    auto reopened = workspace_->OpenDatabase(Path("types" + std::to_string(version) + ".mdb"));
    const auto& stored = reopened->TableDefs().Item("types");
    ASSERT_EQ(stored->Fields().Count(), static_cast<int>(fields.size()));
    for (std::size_t i = 0; i < fields.size(); ++i) {
      const auto& field = stored->Fields().Item(static_cast<int>(i));
      EXPECT_EQ(field->Name(), std::get<0>(fields[i]));
      EXPECT_EQ(field->Type(), std::get<1>(fields[i])) << field->Name();
    }
    EXPECT_EQ(stored->Fields().Item("Bin")->Size(), 50);
    EXPECT_EQ(stored->Fields().Item("Money")->Size(), 8);
    EXPECT_EQ(stored->Fields().Item("Auto")->Attributes() & dbAutoIncrField, dbAutoIncrField);
    EXPECT_EQ(stored->Fields().Item("Memo")->Attributes() & dbVariableField, dbVariableField);
    const auto& primary = stored->Indexes().Item("PrimaryKey");
    EXPECT_TRUE(primary->Primary() && primary->Unique() && primary->Required());
    const auto& both = stored->Indexes().Item("ByWhenAndText");
    EXPECT_TRUE(both->Unique() && !both->Primary());
    EXPECT_EQ(both->Fields().Item(0)->Attributes(), dbDescending);
    EXPECT_EQ(both->Fields().Item(1)->Name(), "Txt");
    EXPECT_EQ(both->Fields().Item(1)->Attributes(), 0);
    EXPECT_TRUE(stored->Indexes().Item("Sparse")->IgnoreNulls());
  }
}

TEST_F(SchemaWriteTest, AppendRefusesWhatDaoRefusesAndCreatesNothing) {
  auto database = FoodDatabase("refused.mdb");
  const int tables = database->TableDefs().Count();
  const auto attempt = [&](const std::function<void(TableDef&)>& describe) {
    auto table = database->CreateTableDef("Extra");
    testing::AppendField(*table, "A", dbText, 10);
    return ErrorOf([&] {
      describe(*table);
      database->TableDefs().Append(table);
    });
  };
  EXPECT_EQ(ErrorOf([&] { database->CreateTableDef("T")->CreateField("X", 1024); }), 3259);
  EXPECT_EQ(ErrorOf([&] { database->TableDefs().Append(database->CreateTableDef("Empty")); }), 3264);
  EXPECT_EQ(attempt([](TableDef& t) { t.Fields().Append(t.CreateField("a", dbLong)); }), 3191);
  EXPECT_EQ(attempt([](TableDef& t) { testing::AppendField(t, "Long", dbText, 256); }), 3259);
  EXPECT_EQ(attempt([](TableDef& t) { testing::AppendField(t, "Counter", dbText, 10, dbAutoIncrField); }), 3001);
  EXPECT_EQ(attempt([](TableDef& t) { t.SetName("FOOD"); }), 3010);
  EXPECT_EQ(attempt([](TableDef& t) { t.SetName("Food.Old"); }), 3125);
  EXPECT_EQ(attempt([](TableDef& t) { testing::AppendIndex(t, "ByB", {"B"}); }), 3265);
  EXPECT_EQ(attempt([](TableDef& t) {
              testing::AppendField(t, "Note", dbMemo);
              testing::AppendIndex(t, "ByNote", {"Note"});
            }),
            3001);
  EXPECT_EQ(attempt([&](TableDef& t) { t.Indexes().Append(t.CreateIndex("NoFields")); }), 3264);
  EXPECT_EQ(attempt([](TableDef& t) {
              testing::AppendIndex(t, "ByA", {"A"});
              testing::AppendIndex(t, "byA", {"A"});
            }),
            3284);
  EXPECT_EQ(attempt([](TableDef& t) {
              testing::AppendIndex(t, "P1", {"A"}, true);
              testing::AppendIndex(t, "P2", {"A"}, true);
            }),
            3283);
  EXPECT_EQ(database->TableDefs().Count(), tables);
  EXPECT_EQ(attempt([](TableDef&) {}), 0);
  EXPECT_EQ(database->TableDefs().Count(), tables + 1);
  database->Close();

  auto readOnly = workspace_->OpenDatabase(Path("refused.mdb"), false, true);
  auto table = readOnly->CreateTableDef("Late");
  testing::AppendField(*table, "A", dbLong);
  EXPECT_EQ(ErrorOf([&] { readOnly->TableDefs().Append(table); }), 3027);
  EXPECT_EQ(ErrorOf([&] { readOnly->TableDefs().Item("Food")->Fields().Item("Name")->SetRequired(true); }), 3027);
}

TEST_F(SchemaWriteTest, FieldPropertiesAreStoredAndEnforced) {
  auto database = NewDatabase("properties.mdb");
  auto table = database->CreateTableDef("Food");
  testing::AppendField(*table, "Name", dbText, 40);
  testing::AppendField(*table, "Kcal", dbLong)->SetDefaultValue("0");
  testing::AppendField(*table, "Rubrik", dbText, 20)->SetDefaultValue("\"Obst\"");
  auto note = testing::AppendField(*table, "Note", dbMemo);
  note->SetAllowZeroLength(true);
  note->Properties().Append(note->CreateProperty("Caption", dbText, Variant("Notiz")));
  database->TableDefs().Append(table);
  // Required is set on the stored table's field, as the Access layer does.
  database->TableDefs().Item("Food")->Fields().Item("Name")->SetRequired(true);

  auto rows = database->OpenRecordset("Food", dbOpenDynaset);
  rows->AddNew();
  EXPECT_EQ(rows->Fields().Item("Kcal")->Value(), Variant(std::int32_t{0}));
  EXPECT_EQ(rows->Fields().Item("Rubrik")->Value(), Variant("Obst"));
  EXPECT_EQ(ErrorOf([&] { rows->Update(); }), 3314);
  rows->Fields().Item("Name")->SetValue(Variant(""));
  EXPECT_EQ(ErrorOf([&] { rows->Update(); }), 3315);
  rows->Fields().Item("Name")->SetValue(Variant("Apfel"));
  rows->Fields().Item("Note")->SetValue(Variant(""));
  rows->Update();
  rows->AddNew();
  rows->Fields().Item("Name")->SetValue(Variant("Birne"));
  rows->Fields().Item("Rubrik")->SetValue(Variant::Null());
  rows->Update();
  EXPECT_EQ(testing::ReadTable(*database, "Food"),
            (std::vector<std::vector<Variant>>{{Variant("Apfel"), Variant(std::int32_t{0}), Variant("Obst"), Variant("")},
                                               {Variant("Birne"), Variant(std::int32_t{0}), Variant::Null(), Variant::Null()}}));

  // A field whose rows hold Null cannot become required.
  const auto& stored = database->TableDefs().Item("Food");
  EXPECT_EQ(ErrorOf([&] { stored->Fields().Item("Rubrik")->SetRequired(true); }), 3314);
  EXPECT_FALSE(stored->Fields().Item("Rubrik")->Required());
  EXPECT_EQ(ErrorOf([&] { stored->Fields().Item("Kcal")->Properties().Item("Type")->SetValue(Variant(7)); }), 3219);
  stored->Fields().Item("Kcal")->Properties().Item("DefaultValue")->SetValue(Variant("100"));
  const auto& kcal = stored->Fields().Item("Kcal");
  kcal->Properties().Append(kcal->CreateProperty("Format", dbText, Variant("0")));
  database->Close();

  auto reopened = workspace_->OpenDatabase(Path("properties.mdb"));
  const auto& food = reopened->TableDefs().Item("Food");
  EXPECT_TRUE(food->Fields().Item("Name")->Required());
  EXPECT_TRUE(food->Fields().Item("Note")->AllowZeroLength());
  EXPECT_FALSE(food->Fields().Item("Name")->AllowZeroLength());
  EXPECT_EQ(food->Fields().Item("Note")->Properties().Item("Caption")->Value(), Variant("Notiz"));
  EXPECT_EQ(food->Fields().Item("Kcal")->DefaultValue(), "100");
  EXPECT_EQ(food->Fields().Item("Kcal")->Properties().Item("Format")->Value(), Variant("0"));
  const auto& storedKcal = food->Fields().Item("Kcal");
  EXPECT_EQ(ErrorOf([&] { storedKcal->Properties().Append(storedKcal->CreateProperty("format", dbText, Variant("x"))); }),
            3367);
}

TEST_F(SchemaWriteTest, IndexesAddedToAStoredTableCoverItsRows) {
  auto database = FoodDatabase("indexes.mdb");
  auto rows = database->OpenRecordset("Food");
  for (const char* name : {"Quark", "apfel", "Birne", "Apfel", "Zwieback"}) {
    testing::AddRow(*rows, {{"Name", Variant(name)}, {"Kcal", Variant(std::int32_t{70})}});
  }
  const auto& food = database->TableDefs().Item("Food");
  // Names are unique only when letter case counts; the index ignores it.
  EXPECT_EQ(ErrorOf([&] { testing::AppendIndex(*food, "UniqueName", {"Name"}, false, true); }), 3022);
  EXPECT_EQ(ErrorOf([&] { testing::AppendIndex(*food, "Key2", {"Kcal"}, true); }), 3283);
  EXPECT_EQ(food->Indexes().Count(), 1);
  testing::AppendIndex(*food, "Name", {"Name"});
  testing::AppendIndex(*food, "ByKcalDown", {"-Kcal", "Name"});
  EXPECT_EQ(food->Indexes().Count(), 3);
  // The table manager replaces the primary key this way.
  food->Indexes().Delete("PrimaryKey");
  testing::AppendIndex(*food, "PrimaryKey", {"Name", "ID"}, true);
  EXPECT_EQ(ErrorOf([&] { food->Indexes().Delete("Missing"); }), 3265);
  // Rows added later reach the new indexes too.
  testing::AddRow(*rows, {{"Name", Variant("Mango")}});
  rows->Close();
  database->Close();

  auto reopened = workspace_->OpenDatabase(Path("indexes.mdb"), false, true);
  const auto& stored = reopened->TableDefs().Item("Food");
  ASSERT_EQ(stored->Indexes().Count(), 3);
  EXPECT_EQ(stored->Indexes().Item("Name")->DistinctCount(), 5);  // apfel and Apfel share a key
  EXPECT_TRUE(stored->Indexes().Item("PrimaryKey")->Primary());
  EXPECT_EQ(stored->Indexes().Item("PrimaryKey")->Fields().Count(), 2);

  // Every index holds exactly the entries its rows call for.
  jet::PageFile file(jet::FileStorage::Open(Path("indexes.mdb"), true), jet::kJet4PageSize);
  const jet::TextCodec codec(jet::Version::kJet4, jet::kDefaultCodePage);
  jet::DatabaseWriter writer(file, jet::kJet4Layout, codec);
  jet::TableWriter& table = writer.Table(stored->Source()->Id());
  ASSERT_EQ(table.Definition().realIndexes.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(table.IndexEntries(i), table.ExpectedIndexEntries(i)) << "index " << i;
    EXPECT_EQ(table.IndexEntries(i).size(), 6u);
  }
}

}  // namespace
}  // namespace dao
