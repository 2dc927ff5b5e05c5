// TAccessTableManager: the converter's Nuta table with exactly the DAO
// types and sizes it needs (checked by mdb-schema too), the readiness
// checks, and indexes from index definitions.

#include <gtest/gtest.h>

#include "access/access_table_manager.h"
#include "access/dao_helpers.h"
#include "access/tests/access_test_support.h"
#include "dao/constants.h"
#include "dao/jet/tests/external_readers.h"

namespace accessdb {
namespace {

using namespace recordset;
using testing::ErrorOf;

class TableManagerTest : public testing::AccessTest {};

void AddNutaFields(TFieldDefs& defs) {
  defs.AddFieldDef("Nahrungsmittel", ftString, 100);
  defs.AddFieldDef("Kcal", ftInteger);
  defs.AddFieldDef("Kjoule", ftInteger);
  defs.AddFieldDef("Fett", ftFloat);
  defs.AddFieldDef("Kh", ftFloat);
  defs.AddFieldDef("BE", ftFloat);
  defs.AddFieldDef("Eiweiss", ftFloat);
  defs.AddFieldDef("Rubrik", ftString, 100);
}

TEST_F(TableManagerTest, CreatesTheEightFieldNutaTable) {
  auto database = NewDatabase("ziel.mdb");
  {
    TAccessTableManager manager(database.get());
    manager.SetTableName("Nuta");
    AddNutaFields(manager.FieldDefs());
    manager.CreateTable();
  }
  EXPECT_EQ(database->TableNames(), std::vector<std::string>{"Nuta"});
  const auto& table = database->DatabaseObject()->TableDefs().Item("Nuta");
  const std::tuple<const char*, int, int> expected[] = {
      {"Nahrungsmittel", dao::dbText, 100}, {"Kcal", dao::dbLong, 4},   {"Kjoule", dao::dbLong, 4},
      {"Fett", dao::dbSingle, 4},           {"Kh", dao::dbSingle, 4},    {"BE", dao::dbSingle, 4},
      {"Eiweiss", dao::dbSingle, 4},        {"Rubrik", dao::dbText, 100}};
  ASSERT_EQ(table->Fields().Count(), 8);
  for (int i = 0; i < 8; ++i) {
    const auto& [name, type, size] = expected[i];
    const auto& field = table->Fields().Item(i);
    EXPECT_EQ(field->Name(), name);
    EXPECT_EQ(field->Type(), type) << name;
    EXPECT_EQ(field->Size(), size) << name;
    EXPECT_FALSE(field->Required()) << name;
    EXPECT_EQ(field->Attributes() & dao::dbAutoIncrField, 0) << name;
  }
  EXPECT_EQ(table->Indexes().Count(), 0);
  database->SetConnected(false);
  if (!dao::jet::testing::HaveMdbTools()) GTEST_SKIP() << "mdbtools are not installed";
  const auto schema = dao::jet::testing::RunCommand("mdb-schema -T Nuta --indexes '" + Path("ziel.mdb") + "' access");
  ASSERT_TRUE(schema.has_value());
  const std::size_t start = schema->find("CREATE TABLE");
  ASSERT_NE(start, std::string::npos);
  const std::string columns = schema->substr(start, schema->find(");", start) + 2 - start);
  EXPECT_EQ(columns,
            "CREATE TABLE [Nuta]\n (\n\t[Nahrungsmittel]\t\t\tText (100), \n\t[Kcal]\t\t\tLong Integer, \n"
            "\t[Kjoule]\t\t\tLong Integer, \n\t[Fett]\t\t\tSingle, \n\t[Kh]\t\t\tSingle, \n\t[BE]\t\t\tSingle, \n"
            "\t[Eiweiss]\t\t\tSingle, \n\t[Rubrik]\t\t\tText (100)\n);");
}

TEST_F(TableManagerTest, RequiredDefinitionsAndAutoNumbersReachDao) {
  auto database = NewDatabase("req.mdb");
  TAccessTableManager manager(database.get());
  manager.SetTableName("Liste");
  manager.FieldDefs().AddFieldDef("ID", ftAutoInc);
  manager.FieldDefs().AddFieldDef("Name", ftString, 40, true);
  manager.FieldDefs().AddFieldDef("Wann", ftDateTime);
  manager.FieldDefs().AddFieldDef("Notiz", ftMemo);
  manager.FieldDefs().AddFieldDef("Betrag", ftCurrency);
  manager.CreateTable();
  const auto& fields = database->DatabaseObject()->TableDefs().Item("Liste")->Fields();
  EXPECT_EQ(fields.Item("ID")->Type(), dao::dbLong);
  EXPECT_NE(fields.Item("ID")->Attributes() & dao::dbAutoIncrField, 0);
  EXPECT_TRUE(fields.Item("Name")->Required());
  EXPECT_EQ(fields.Item("Wann")->Type(), dao::dbDate);
  EXPECT_EQ(fields.Item("Notiz")->Type(), dao::dbMemo);
  EXPECT_EQ(fields.Item("Betrag")->Type(), dao::dbCurrency);
}

TEST_F(TableManagerTest, ChecksItsDatabaseConnectionAndTableName) {
  TAccessTableManager orphan(nullptr);
  EXPECT_EQ(ErrorOf([&] { orphan.CreateTable(); }), "Database property not set!");
  auto database = NewDatabase("leer.mdb");
  TAccessTableManager manager(database.get());
  EXPECT_EQ(ErrorOf([&] { manager.CreateTable(); }), "Missing TableName!");
  database->SetConnected(false);
  manager.SetTableName("Nuta");
  EXPECT_EQ(ErrorOf([&] { manager.CreateTable(); }), "Database is not connected!");
  database->SetConnected(true);
  manager.FieldDefs().AddFieldDef("Unbekannt", ftLargeint);
  // DAO refuses a type it does not know; nothing is created.
  EXPECT_NE(ErrorOf([&] { manager.CreateTable(); }), "");
  EXPECT_TRUE(database->TableNames().empty());
}

TEST_F(TableManagerTest, IndexDefinitionsGiveOnePrimaryKeyAndTheirOwnIndexes) {
  auto database = NewDatabase("index.mdb");
  TAccessTableManager manager(database.get());
  manager.SetTableName("Nuta");
  AddNutaFields(manager.FieldDefs());
  // Three primary definitions: one key over the fields of all, named
  // after the last.
  manager.IndexDefs().Add("Erster", "Nahrungsmittel", {ixPrimary});
  manager.IndexDefs().Add("Zweiter", "Rubrik", {ixPrimary});
  manager.IndexDefs().Add("", "Kcal; Kjoule");
  manager.IndexDefs().Add("EindeutigFett", "Fett", {ixUnique});
  manager.IndexDefs().Add("Absteigend", "Kh", {ixDescending});  // other options are left out
  manager.IndexDefs().Add("Schluessel", "BE", {ixPrimary, ixUnique});  // the key: no index of its own
  manager.CreateTable();
  const auto& indexes = database->DatabaseObject()->TableDefs().Item("Nuta")->Indexes();
  ASSERT_EQ(indexes.Count(), 3);
  const auto& key = indexes.Item("Schluessel");
  EXPECT_TRUE(key->Primary());
  ASSERT_EQ(key->Fields().Count(), 3);
  EXPECT_EQ(key->Fields().Item(0)->Name(), "Nahrungsmittel");
  EXPECT_EQ(key->Fields().Item(1)->Name(), "Rubrik");
  EXPECT_EQ(key->Fields().Item(2)->Name(), "BE");
  const auto& pair = indexes.Item("Kcal");  // named after its first field
  ASSERT_EQ(pair->Fields().Count(), 2);
  EXPECT_EQ(pair->Fields().Item(1)->Name(), "Kjoule");
  EXPECT_FALSE(pair->Unique());
  EXPECT_TRUE(indexes.Item("EindeutigFett")->Unique());
  EXPECT_FALSE(indexes.Contains("Absteigend"));
}

TEST_F(TableManagerTest, ANewPrimaryKeyReplacesTheOneTheTableHas) {
  auto database = NewDatabase("ersetzt.mdb");
  database->CreateTable("Nuta", {"ID", "Name"}, {AutoIncrementType, dao::dbText}, {0, 50}, {1, 0}, {0, 0});
  TAccessTableManager manager(database.get());
  manager.SetTableName("Nuta");
  manager.IndexDefs().Add("NeuerSchluessel", "Name", {ixPrimary});
  manager.CreateIndexes();
  const auto& indexes = database->DatabaseObject()->TableDefs().Item("Nuta")->Indexes();
  ASSERT_EQ(indexes.Count(), 1);
  EXPECT_TRUE(indexes.Item("NeuerSchluessel")->Primary());
  EXPECT_EQ(indexes.Item("NeuerSchluessel")->Fields().Item(0)->Name(), "Name");
  // Without definitions nothing changes, and nothing is checked.
  TAccessTableManager idle(nullptr);
  idle.CreateIndexes();
}

TEST_F(TableManagerTest, TheKeyOfAnAccessMadeTargetIsReplaced) {
  const std::string path = CopyFixture("nutaro/nuta4-target-indexed.mdb");
  auto database = Connect(path);
  TAccessTableManager manager(database.get());
  manager.SetTableName("Nuta");
  manager.IndexDefs().Add("Schluessel", "ID", {ixPrimary});
  manager.IndexDefs().Add("Kalorien", "Kcal");
  manager.CreateIndexes();
  const auto& indexes = database->DatabaseObject()->TableDefs().Item("Nuta")->Indexes();
  EXPECT_FALSE(indexes.Contains("PrimaryKey"));
  EXPECT_TRUE(indexes.Item("Schluessel")->Primary());
  EXPECT_TRUE(indexes.Contains("Nahrungsmittel"));  // untouched
  EXPECT_TRUE(indexes.Contains("Kalorien"));
  EXPECT_EQ(indexes.Item("Kalorien")->Fields().Item(0)->Name(), "Kcal");
  // Rows still go in through both remaining kinds of index.
  auto table = OpenTable(*database, "Nuta");
  table->AppendRow();
  table->FieldNamed("Kcal").SetTextValue("12");
  table->PostRow();
  EXPECT_EQ(table->RowCount(), 11);
}

}  // namespace
}  // namespace accessdb
