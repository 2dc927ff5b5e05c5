// Changing rows through recordsets: DAO's edit modes, where added and
// deleted rows appear (in the recordset that changed them and in others),
// how assigned values are converted and checked, and that a refused Update
// leaves the file as it was.

#include <gtest/gtest.h>

#include "dao/jet/tests/fixture_files.h"
#include "dao/tests/write_support.h"
#include "platform/clock.h"
#include "platform/format_settings.h"

namespace dao {
namespace {

using platform::Variant;

Variant Long(std::int32_t value) { return Variant(value); }

class RecordsetWriteTest : public testing::WritingTest {
 protected:
  // "Food" (ID AutoNumber primary key, unique Name, Kcal, Fett single,
  // Datum date) with the rows Apfel, Birne, Quark.
  std::shared_ptr<Database> FoodDatabase(const std::string& name) {
    auto database = NewDatabase(name);
    auto table = database->CreateTableDef("Food");
    testing::AppendField(*table, "ID", dbLong, 0, dbAutoIncrField);
    testing::AppendField(*table, "Name", dbText, 10);
    testing::AppendField(*table, "Kcal", dbInteger);
    testing::AppendField(*table, "Fett", dbSingle);
    testing::AppendField(*table, "Datum", dbDate);
    testing::AppendIndex(*table, "PrimaryKey", {"ID"}, true);
    testing::AppendIndex(*table, "Name", {"Name"}, false, true);
    database->TableDefs().Append(table);
    auto rows = database->OpenRecordset("Food", dbOpenDynaset);
    for (const char* food : {"Apfel", "Birne", "Quark"}) testing::AddRow(*rows, {{"Name", Variant(food)}});
    return database;
  }

  static std::vector<std::string> Names(Recordset& rows) {
    std::vector<std::string> names;
    for (rows.MoveFirst(); !rows.AtEOF(); rows.MoveNext()) names.push_back(rows.Fields().Item("Name")->Value().ToText());
    return names;
  }
};

TEST_F(RecordsetWriteTest, AddNewAndEditFollowDaosEditModes) {
  auto database = FoodDatabase("modes.mdb");
  auto rows = database->OpenRecordset("Food", dbOpenDynaset);
  const auto& name = rows->Fields().Item("Name");
  EXPECT_EQ(rows->EditMode(), dbEditNone);
  EXPECT_EQ(ErrorOf([&] { rows->Update(); }), 3020);
  EXPECT_EQ(ErrorOf([&] { rows->CancelUpdate(); }), 3020);
  EXPECT_EQ(ErrorOf([&] { name->SetValue(Variant("Kiwi")); }), 3020);

  // AddNew: the new row's values (the AutoNumber it will get) are read
  // from the copy buffer; the current row stays current.
  const platform::Bytes first = rows->Bookmark();
  rows->AddNew();
  EXPECT_EQ(rows->EditMode(), dbEditAdd);
  EXPECT_EQ(rows->Fields().Item("ID")->Value(), Long(4));
  EXPECT_TRUE(name->Value().IsNull());
  name->SetValue(Variant("Kiwi"));
  EXPECT_EQ(name->Value(), Variant("Kiwi"));
  rows->Update();
  EXPECT_EQ(rows->EditMode(), dbEditNone);
  EXPECT_EQ(rows->Bookmark(), first);
  EXPECT_EQ(name->Value(), Variant("Apfel"));
  // The new row is LastModified and stands at the end of the dynaset.
  rows->SetBookmark(rows->LastModified());
  EXPECT_EQ(name->Value(), Variant("Kiwi"));
  EXPECT_EQ(rows->AbsolutePosition(), 3);
  rows->MoveLast();
  EXPECT_EQ(rows->Fields().Item("ID")->Value(), Long(4));
  EXPECT_EQ(rows->RecordCount(), 4);

  // Edit changes the current row; the AutoNumber cannot change.
  rows->MoveFirst();
  rows->Edit();
  EXPECT_EQ(rows->EditMode(), dbEditInProgress);
  EXPECT_EQ(ErrorOf([&] { rows->Fields().Item("ID")->SetValue(Long(9)); }), 3164);
  name->SetValue(Variant("Ananas"));
  rows->Update();
  EXPECT_EQ(name->Value(), Variant("Ananas"));
  EXPECT_EQ(rows->LastModified(), first);
  // Moving drops a pending change; so does a second AddNew.
  rows->Edit();
  name->SetValue(Variant("Banane"));
  rows->MoveNext();
  EXPECT_EQ(rows->EditMode(), dbEditNone);
  rows->MovePrevious();
  EXPECT_EQ(name->Value(), Variant("Ananas"));
  rows->AddNew();
  name->SetValue(Variant("Feige"));
  rows->AddNew();
  EXPECT_TRUE(name->Value().IsNull());
  rows->CancelUpdate();
  EXPECT_EQ(Names(*rows), (std::vector<std::string>{"Ananas", "Birne", "Quark", "Kiwi"}));
  // Without a current row there is nothing to edit.
  rows->MoveLast();
  rows->MoveNext();
  EXPECT_EQ(ErrorOf([&] { rows->Edit(); }), 3021);
  EXPECT_EQ(ErrorOf([&] { rows->Delete(); }), 3021);
}

TEST_F(RecordsetWriteTest, DeletedRowsReadAsDeletedUntilTheRecordsetMoves) {
  auto database = FoodDatabase("deleted.mdb");
  auto rows = database->OpenRecordset("Food", dbOpenDynaset);
  rows->MoveLast();
  EXPECT_EQ(rows->RecordCount(), 3);
  rows->MoveFirst();
  rows->MoveNext();
  rows->Delete();
  EXPECT_EQ(ErrorOf([&] { rows->Fields().Item("Name")->Value(); }), 3167);
  EXPECT_EQ(ErrorOf([&] { rows->Bookmark(); }), 3167);
  EXPECT_EQ(ErrorOf([&] { rows->Edit(); }), 3167);
  EXPECT_EQ(ErrorOf([&] { rows->Delete(); }), 3167);
  EXPECT_EQ(rows->RecordCount(), 2);
  rows->MoveNext();
  EXPECT_EQ(rows->Fields().Item("Name")->Value(), Variant("Quark"));
  EXPECT_EQ(rows->AbsolutePosition(), 1);
  rows->MovePrevious();
  EXPECT_EQ(rows->Fields().Item("Name")->Value(), Variant("Apfel"));
  EXPECT_EQ(Names(*rows), (std::vector<std::string>{"Apfel", "Quark"}));
  // From a deleted row Move(1) reaches the next row, Move(-1) the previous.
  rows->MoveFirst();
  rows->Delete();
  rows->Move(1);
  EXPECT_EQ(rows->Fields().Item("Name")->Value(), Variant("Quark"));
  rows->Delete();
  rows->MoveNext();
  EXPECT_TRUE(rows->AtEOF() && rows->AtBOF());
  EXPECT_EQ(ErrorOf([&] { rows->MoveFirst(); }), 3021);
  EXPECT_EQ(database->TableDefs().Item("Food")->RecordCount(), 0);
  // The numbers given stay given: the next row gets 4.
  testing::AddRow(*rows, {{"Name", Variant("Kiwi")}});
  EXPECT_EQ(testing::ReadTable(*database, "Food").at(0).at(0), Long(4));
}

TEST_F(RecordsetWriteTest, OtherRecordsetsSeeChangesAsDaoShowsThem) {
  auto database = FoodDatabase("others.mdb");
  auto table = database->OpenRecordset("Food", dbOpenTable);
  auto dynaset = database->OpenRecordset("Food", dbOpenDynaset);
  auto other = database->OpenRecordset("Food", dbOpenDynaset);
  other->MoveLast();
  EXPECT_EQ(table->RecordCount(), 3);

  testing::AddRow(*dynaset, {{"Name", Variant("Kiwi")}});
  // A table-type recordset has the new row at once ...
  EXPECT_EQ(table->RecordCount(), 4);
  table->MoveLast();
  EXPECT_EQ(table->Fields().Item("Name")->Value(), Variant("Kiwi"));
  // ... a dynaset read to its end only after Requery.
  EXPECT_EQ(Names(*other).size(), 3u);
  other->Requery();
  EXPECT_EQ(Names(*other).size(), 4u);

  // A row changed through one recordset reads changed in the others.
  table->MoveFirst();
  table->Edit();
  table->Fields().Item("Kcal")->SetValue(Variant("52"));
  table->Update();
  dynaset->MoveFirst();
  EXPECT_EQ(dynaset->Fields().Item("Kcal")->Value(), Variant(std::int16_t{52}));
  // A row deleted elsewhere reads as deleted in a dynaset, which still
  // holds it; the table type passes over it.
  dynaset->MoveNext();
  table->MoveFirst();
  table->MoveNext();
  table->Delete();
  EXPECT_EQ(ErrorOf([&] { dynaset->Fields().Item("Name")->Value(); }), 3167);
  table->MoveFirst();
  table->MoveNext();
  EXPECT_EQ(table->Fields().Item("Name")->Value(), Variant("Quark"));
  EXPECT_EQ(table->RecordCount(), 3);
}

TEST_F(RecordsetWriteTest, ValuesAreConvertedAndCheckedAsTheyArrive) {
  auto database = FoodDatabase("values.mdb");
  auto rows = database->OpenRecordset("Food", dbOpenDynaset);
  const auto field = [&](const char* name) { return rows->Fields().Item(name); };
  {
    // The Access layer sends numbers and dates as texts of the user's locale.
    const platform::ScopedFormatSettings german(platform::GermanFormatSettings());
    rows->AddNew();
    field("Name")->SetValue(Variant("Mango"));
    field("Kcal")->SetValue(Variant("60"));
    field("Fett")->SetValue(Variant("12,5"));
    field("Datum")->SetValue(Variant("24.12.2023"));
    EXPECT_EQ(field("Fett")->Value(), Variant(12.5f));
    EXPECT_EQ(ErrorOf([&] { field("Kcal")->SetValue(Variant("viel")); }), 3421);
    EXPECT_EQ(ErrorOf([&] { field("Kcal")->SetValue(Variant(std::int32_t{70000})); }), 3349);
    EXPECT_EQ(ErrorOf([&] { field("Name")->SetValue(Variant("Mangostanfrucht")); }), 3163);
    // A refused value leaves the one given before.
    EXPECT_EQ(field("Kcal")->Value(), Variant(std::int16_t{60}));
    rows->Update();
  }
  rows->SetBookmark(rows->LastModified());
  EXPECT_EQ(field("Fett")->Value(), Variant(12.5f));
  EXPECT_EQ(field("Datum")->Value(), Variant::FromDate(45284));
  // Values of any kind are converted to the field's type.
  rows->Edit();
  field("Kcal")->SetValue(Variant(61.4));
  field("Fett")->SetValue(Variant(std::int32_t{3}));
  field("Name")->SetValue(Variant(std::int32_t{42}));
  field("Datum")->SetValue(Variant::Null());
  rows->Update();
  EXPECT_EQ(field("Kcal")->Value(), Variant(std::int16_t{61}));
  EXPECT_EQ(field("Fett")->Value(), Variant(3.0f));
  EXPECT_EQ(field("Name")->Value(), Variant("42"));
  EXPECT_TRUE(field("Datum")->Value().IsNull());
}

TEST_F(RecordsetWriteTest, AddNewFillsInTheDefaultsAccessWrites) {
  auto database = NewDatabase("defaults.mdb");
  auto table = database->CreateTableDef("Stock");
  // A ReplicationID AutoNumber as Access makes it: a GUID column whose
  // default is GenGUID().
  testing::AppendField(*table, "Ref", dbGUID)->SetDefaultValue("GenGUID()");
  testing::AppendField(*table, "Name", dbText, 20)->SetDefaultValue("\"Obst\"");
  testing::AppendField(*table, "Menge", dbInteger)->SetDefaultValue("=5");
  testing::AppendField(*table, "Datum", dbDate)->SetDefaultValue("Date ( )");
  // A Random AutoNumber: a Long whose default draws a random number.
  testing::AppendField(*table, "Zufall", dbLong)->SetDefaultValue("GenUniqueID()");
  database->TableDefs().Append(table);
  auto rows = database->OpenRecordset("Stock", dbOpenDynaset);
  struct : platform::Clock {
    platform::TDateTime Now() const override { return 45000.75; }
  } const fixed;
  const platform::ScopedClock clock(fixed);
  rows->AddNew();
  EXPECT_EQ(rows->Fields().Item("Name")->Value(), Variant("Obst"));
  EXPECT_EQ(rows->Fields().Item("Menge")->Value(), Variant(std::int16_t{5}));
  EXPECT_EQ(rows->Fields().Item("Datum")->Value(), Variant::FromDate(45000));
  EXPECT_EQ(rows->Fields().Item("Zufall")->Value().Type(), platform::VariantType::kInt32);
  rows->Update();
  testing::AddRow(*rows, {});
  // Each row gets a GUID of its own.
  const auto stored = testing::ReadTable(*database, "Stock");
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(stored[0][0].Type(), platform::VariantType::kGuid);
  EXPECT_EQ(stored[1][0].Type(), platform::VariantType::kGuid);
  EXPECT_NE(stored[0][0], stored[1][0]);
}

TEST_F(RecordsetWriteTest, RefusedUpdatesLeaveTheFileAsItWasAndTheBufferForAnotherTry) {
  FoodDatabase("refused.mdb")->Close();
  const std::vector<std::uint8_t> before = jet::testing::ReadFileBytes(Path("refused.mdb"));
  auto database = workspace_->OpenDatabase(Path("refused.mdb"));
  auto rows = database->OpenRecordset("Food", dbOpenTable);
  const auto& name = rows->Fields().Item("Name");
  rows->AddNew();
  name->SetValue(Variant("apfel"));  // the unique index ignores letter case
  rows->Fields().Item("Datum")->SetValue(Variant::FromDate(-700000.25));
  EXPECT_EQ(ErrorOf([&] { rows->Update(); }), 3022);
  EXPECT_EQ(rows->EditMode(), dbEditAdd);
  rows->MoveLast();
  rows->Edit();
  name->SetValue(Variant("Birne"));
  EXPECT_EQ(ErrorOf([&] { rows->Update(); }), 3022);
  EXPECT_EQ(rows->EditMode(), dbEditInProgress);
  EXPECT_EQ(ErrorOf([&] { rows->AddNew(); rows->Fields().Item("ID")->SetValue(Long(2)); rows->Update(); }), 3022);
  rows->CancelUpdate();
  EXPECT_EQ(rows->RecordCount(), 3);
  database->Close();
  EXPECT_EQ(jet::testing::ReadFileBytes(Path("refused.mdb")), before);

  // The buffer of a refused AddNew is corrected and stored.
  database = workspace_->OpenDatabase(Path("refused.mdb"));
  rows = database->OpenRecordset("Food", dbOpenTable);
  rows->AddNew();
  rows->Fields().Item("Name")->SetValue(Variant("Apfel"));
  EXPECT_EQ(ErrorOf([&] { rows->Update(); }), 3022);
  rows->Fields().Item("Name")->SetValue(Variant("Erdbeere"));
  rows->Update();
  EXPECT_EQ(rows->RecordCount(), 4);
  // The refused row used no number: the stored one gets 4.
  rows->MoveLast();
  EXPECT_EQ(rows->Fields().Item("ID")->Value(), Long(4));
}

TEST_F(RecordsetWriteTest, RecordsetsThatCannotBeUpdatedRefuseChanges) {
  FoodDatabase("readonly.mdb")->Close();
  auto readOnly = workspace_->OpenDatabase(Path("readonly.mdb"), false, true);
  auto database = workspace_->OpenDatabase(Path("readonly.mdb"));
  const std::vector<std::shared_ptr<Recordset>> refusing = {
      readOnly->OpenRecordset("Food", dbOpenDynaset), database->OpenRecordset("Food", dbOpenSnapshot),
      database->OpenRecordset("Food", dbOpenForwardOnly), database->OpenRecordset("Food", dbOpenDynaset, dbReadOnly),
      database->OpenRecordset("MSysObjects", dbOpenTable)};
  for (const auto& rows : refusing) {
    SCOPED_TRACE(rows->Name() + " type " + std::to_string(rows->Type()));
    EXPECT_FALSE(rows->Updatable());
    EXPECT_EQ(ErrorOf([&] { rows->AddNew(); }), 3027);
    EXPECT_EQ(ErrorOf([&] { rows->Edit(); }), 3027);
    EXPECT_EQ(ErrorOf([&] { rows->Delete(); }), 3027);
    EXPECT_EQ(ErrorOf([&] { rows->Fields().Item(0)->SetValue(Variant("x")); }), 3027);
  }
  EXPECT_TRUE(database->OpenRecordset("Food")->Updatable());
}

}  // namespace
}  // namespace dao
