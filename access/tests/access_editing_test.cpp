// Storing rows through TAccessTable: the DAO calls the converter's steps
// make, rows appended, changed and deleted and then read by the
// independent readers, DAO's default values, cancelling, and failures of
// DAO during posting with and without the error event.

#include <gtest/gtest.h>

#include "access/access_table.h"
#include "access/access_table_manager.h"
#include "access/dao_call_log.h"
#include "access/tests/access_test_support.h"
#include "dao/constants.h"
#include "dao/dao_error.h"
#include "dao/jet/tests/external_readers.h"
#include "dao/tests/fixture_support.h"
#include "platform/errors.h"
#include "platform/format_settings.h"
#include "recordset/integer_fields.h"
#include "recordset/string_field.h"

namespace accessdb {
namespace {

using namespace recordset;
using platform::Variant;
using testing::ErrorOf;

using Calls = std::vector<std::string>;

// The calls of `log` from the first `from` on, `count` of them.
Calls Slice(const Calls& calls, const std::string& from, std::size_t count) {
  const auto start = std::find(calls.begin(), calls.end(), from);
  if (start == calls.end()) return {};
  return Calls(start, start + static_cast<std::ptrdiff_t>(std::min<std::size_t>(count, calls.end() - start)));
}

class EditingTest : public testing::AccessTest {
 protected:
  // A new Jet 4 database with the converter's Nuta table.
  std::unique_ptr<TAccessDatabase> NewTarget(const std::string& name) {
    path_ = Path(name);
    auto database = NewDatabase(name, "3.6", "AccessDatabase2");
    TAccessTableManager manager(database.get());
    manager.SetTableName("Nuta");
    manager.FieldDefs().AddFieldDef("Nahrungsmittel", ftString, 100);
    manager.FieldDefs().AddFieldDef("Kcal", ftInteger);
    manager.FieldDefs().AddFieldDef("Kjoule", ftInteger);
    for (const char* field : {"Fett", "Kh", "BE", "Eiweiss"}) manager.FieldDefs().AddFieldDef(field, ftFloat);
    manager.FieldDefs().AddFieldDef("Rubrik", ftString, 100);
    manager.CreateTable();
    return database;
  }

  std::string path_;
};

TEST_F(EditingTest, TheConvertersStepsCallDaoInTheExpectedOrder) {
  auto database = Connect(CopyFixture("nutaro/nuta4-basic.mdb"));
  TAccessTable table("AccessTable2");
  table.SetDatabase(database.get());
  table.SetTableName("nuta");
  RecordedDaoCalls log;
  const ScopedDaoCallLog scope(log);
  table.SetActive(true);
  const Calls opened = log.calls;
  EXPECT_EQ(Slice(opened, "Database.OpenRecordset", 5),
            (Calls{"Database.OpenRecordset", "DBEngine.Idle", "Recordset.Updatable", "Recordset.Bookmarkable",
                   "TableDefs.Refresh"}));
  // Parked before the first row, then the first row read.
  EXPECT_EQ(Slice(opened, "Recordset.MoveFirst", 3),
            (Calls{"Recordset.MoveFirst", "Recordset.MovePrevious", "DBEngine.Idle"}));
  EXPECT_EQ(std::count(opened.begin(), opened.end(), "Field.Value"), 8);

  log.calls.clear();
  EXPECT_EQ(table.RowCount(), 28);
  EXPECT_EQ(log.calls, (Calls{"Recordset.BOF", "Recordset.EOF", "Recordset.MoveFirst", "Recordset.MoveLast",
                              "Recordset.RecordCount", "Recordset.Bookmark:="}));
  log.calls.clear();
  EXPECT_EQ(table.RowCount(), 28);
  EXPECT_TRUE(log.calls.empty());  // counted once until something changes

  table.AppendRow();
  EXPECT_EQ(log.calls, (Calls{"Recordset.BOF", "Recordset.EOF", "Recordset.MoveLast", "Recordset.MoveNext",
                              "Recordset.RecordCount"}));
  log.calls.clear();
  table.FieldNamed("Nahrungsmittel").SetTextValue("Quark");
  table.FieldNamed("Kcal").SetTextValue("67");
  table.FieldNamed("Rubrik").SetTextValue("Milch");
  EXPECT_TRUE(log.calls.empty());  // texts stay in the row buffer until posting
  table.PostRow();
  EXPECT_EQ(Slice(log.calls, "Recordset.AddNew", 16),
            (Calls{"Recordset.AddNew", "Field.Value:=", "Field.Value:=", "Field.Value:=", "Recordset.Update",
                   "Recordset.BOF", "Recordset.EOF", "Recordset.MoveLast", "Recordset.MoveNext",
                   "Recordset.RecordCount", "Recordset.BOF", "Recordset.EOF", "Recordset.LastModified",
                   "Recordset.Bookmark:=", "DBEngine.Idle", "Recordset.EOF"}));
  EXPECT_EQ(log.calls.front(), "Recordset.AddNew");
  log.calls.clear();
  EXPECT_EQ(table.RowNumber(), 29);
  EXPECT_EQ(Slice(log.calls, "Recordset.Bookmark:=", 3),
            (Calls{"Recordset.Bookmark:=", "Recordset.BOF", "Recordset.AbsolutePosition"}));
  log.calls.clear();
  EXPECT_EQ(table.RowCount(), 29);  // a stored row makes the count stale
  EXPECT_NE(std::find(log.calls.begin(), log.calls.end(), "Recordset.MoveLast"), log.calls.end());
}

TEST_F(EditingTest, RowsAppendedToANewTargetAreNumberedAndReadByTheIndependentReaders) {
  const platform::ScopedFormatSettings german(platform::GermanFormatSettings());
  auto database = NewTarget("ziel.mdb");
  auto table = OpenTable(*database, "Nuta", "AccessTable2");
  EXPECT_EQ(table->RowNumber(), -1);
  EXPECT_EQ(table->RowCount(), 0);
  struct Row {
    std::string name, kcal, fett, rubrik;
  };
  const Row rows[] = {{"Äpfel, roh", "52", "0,4", "Obst"},
                      {std::string(150, 'x'), "0", "", ""},
                      {"Weißbrot \"hell\"", "-10", "1234,5", "Brot & Backwaren"}};
  int k = 0;
  for (const Row& row : rows) {
    table->AppendRow();
    table->FieldNamed("Nahrungsmittel").SetTextValue(row.name);
    table->FieldNamed("Kcal").SetTextValue(row.kcal);
    table->FieldNamed("Fett").SetTextValue(row.fett);
    table->FieldNamed("Rubrik").SetTextValue(row.rubrik);
    table->PostRow();
    ++k;
    EXPECT_EQ(table->RowNumber(), k);
    EXPECT_EQ(table->RowCount(), k);
    EXPECT_EQ(table->FieldNamed("Kcal").TextValue(), row.kcal);
  }
  // Zero is a value, not Null; an empty text is Null.
  table->GoFirst();
  table->GoNext();
  EXPECT_EQ(table->FieldNamed("Kcal").VariantValue(), Variant(std::int32_t{0}));
  EXPECT_TRUE(table->FieldNamed("Fett").VariantValue().IsNull());
  EXPECT_EQ(table->FieldNamed("Nahrungsmittel").TextValue(), std::string(100, 'x'));  // cut to the field
  table->SetActive(false);
  database->SetConnected(false);

  if (!dao::jet::testing::HaveMdbTools() || !dao::jet::testing::HaveMdbReader()) {
    GTEST_SKIP() << "mdbtools or mdb-reader missing";
  }
  const auto csv = dao::jet::testing::MdbExport(path_, "Nuta");
  ASSERT_TRUE(csv);
  EXPECT_EQ(*csv,
            "Nahrungsmittel,Kcal,Kjoule,Fett,Kh,BE,Eiweiss,Rubrik\n"
            "\"Äpfel, roh\",52,NULL,0.40000001,NULL,NULL,NULL,\"Obst\"\n"
            "\"" + std::string(100, 'x') + "\",0,NULL,NULL,NULL,NULL,NULL,NULL\n"
            "\"Weißbrot \"\"hell\"\"\",-10,NULL,1234.5,NULL,NULL,NULL,\"Brot & Backwaren\"\n");
  const auto json = dao::jet::testing::MdbReaderJson(path_, "Nuta");
  ASSERT_TRUE(json);
  const dao::testing::Json read = dao::testing::ParseJson(*json);
  const auto& readRows = read["tables"].items.at(0)["rows"].items;
  ASSERT_EQ(readRows.size(), 3u);
  EXPECT_EQ(readRows[0].items[0].text, "Äpfel, roh");
  EXPECT_EQ(static_cast<float>(readRows[2].items[3].Number()), 1234.5f);
  EXPECT_EQ(readRows[2].items[1].text, "-10");
  EXPECT_EQ(readRows[1].items[7].kind, dao::testing::Json::Kind::kNull);
}

TEST_F(EditingTest, EditsAndDeletesReachTheFile) {
  const std::string path = CopyFixture("nutaro/nuta4-basic.mdb");
  auto database = Connect(path);
  auto table = OpenTable(*database, "nuta");
  table->GoFirst();
  table->GoNext();
  table->EditRow();
  table->FieldNamed("Kcal").SetTextValue("56");
  table->FieldNamed("Rubrik").SetTextValue("");
  table->PostRow();
  EXPECT_EQ(table->FieldNamed("Kcal").TextValue(), "56");
  EXPECT_EQ(table->RowNumber(), 2);
  EXPECT_EQ(table->RowCount(), 28);
  // Deleting a row shows the following one; deleting the last row the new
  // last one.
  table->DeleteRow();
  EXPECT_EQ(table->FieldNamed("Nahrungsmittel").TextValue(), "Bananen");
  EXPECT_EQ(table->RowNumber(), 2);
  table->GoLast();
  table->DeleteRow();
  EXPECT_EQ(table->FieldNamed("Nahrungsmittel").TextValue(), "Kräutertee, ungesüßt");
  EXPECT_EQ(table->RowNumber(), 26);
  EXPECT_EQ(table->RowCount(), 26);
  EXPECT_TRUE(table->AtEnd() || table->RowNumber() == table->RowCount());
  table->SetActive(false);
  database->SetConnected(false);

  auto reopened = Connect(path);
  auto check = OpenTable(*reopened, "nuta");
  EXPECT_EQ(check->RowCount(), 26);
  const auto rows = testing::TextRows(*check);
  EXPECT_EQ(rows[0][0], "Äpfel, roh");
  EXPECT_EQ(rows[1][0], "Bananen");
  EXPECT_EQ(rows.back()[0], "Kräutertee, ungesüßt");
  reopened->SetConnected(false);
  if (!dao::jet::testing::HaveMdbTools()) GTEST_SKIP() << "mdbtools are not installed";
  const auto csv = dao::jet::testing::MdbExport(path, "nuta");
  ASSERT_TRUE(csv);
  EXPECT_EQ(std::count(csv->begin(), csv->end(), '\n'), 27);
  EXPECT_EQ(csv->find("Birnen"), std::string::npos);
  EXPECT_EQ(csv->find("Gemüseeintopf"), std::string::npos);
}

TEST_F(EditingTest, ADaoDefaultIsShownInANewRowButOnlyDaoStoresIt) {
  auto database = Connect(CopyFixture("nutaro/nuta4-empty.mdb"));
  dao::Database& dao = *database->DatabaseObject();
  const auto tableDef = dao.CreateTableDef("Vorgaben");
  const auto name = tableDef->CreateField("Name", dao::dbText, 30);
  tableDef->Fields().Append(name);
  const auto kcal = tableDef->CreateField("Kcal", dao::dbLong);
  kcal->SetDefaultValue("0");
  tableDef->Fields().Append(kcal);
  const auto rubrik = tableDef->CreateField("Rubrik", dao::dbText, 30);
  rubrik->SetDefaultValue("\"Obst\"");
  tableDef->Fields().Append(rubrik);
  const auto seit = tableDef->CreateField("Seit", dao::dbDate);
  seit->SetDefaultValue("#1/1/2000 12:00:00 PM#");
  tableDef->Fields().Append(seit);
  const auto nix = tableDef->CreateField("Nix", dao::dbText, 30);
  nix->SetDefaultValue("Null");
  tableDef->Fields().Append(nix);
  dao.TableDefs().Append(tableDef);

  auto table = OpenTable(*database, "Vorgaben");
  table->AppendRow();
  EXPECT_EQ(table->FieldNamed("Kcal").TextValue(), "0");
  EXPECT_EQ(table->FieldNamed("Rubrik").TextValue(), "Obst");
  EXPECT_EQ(table->FieldNamed("Seit").VariantValue().ToDate(), platform::EncodeDate(2000, 1, 1) + 0.5);
  EXPECT_TRUE(table->FieldNamed("Nix").VariantValue().IsNull());
  table->FieldNamed("Name").SetTextValue("Apfel");
  RecordedDaoCalls log;
  {
    const ScopedDaoCallLog scope(log);
    table->PostRow();
  }
  EXPECT_EQ(std::count(log.calls.begin(), log.calls.end(), "Field.Value:="), 1);  // only the name
  EXPECT_EQ(table->FieldNamed("Kcal").VariantValue(), Variant(std::int32_t{0}));
  EXPECT_EQ(table->FieldNamed("Rubrik").TextValue(), "Obst");

  // A default expression of the field is sent with the row.
  table->SetActive(false);
  table->AddField(std::make_unique<TStringField>("Name", 30));
  auto ownKcal = std::make_unique<TIntegerField>("Kcal");
  ownKcal->SetDefaultExpression("'7'");
  table->AddField(std::move(ownKcal));
  table->SetActive(true);
  table->AppendRow();
  EXPECT_EQ(table->FieldNamed("Kcal").TextValue(), "7");
  log.calls.clear();
  {
    const ScopedDaoCallLog scope(log);
    table->PostRow();
  }
  EXPECT_EQ(std::count(log.calls.begin(), log.calls.end(), "Field.Value:="), 1);
  EXPECT_EQ(table->FieldNamed("Kcal").TextValue(), "7");
}

TEST_F(EditingTest, CancellingANewRowLeavesDaoUntouched) {
  auto database = Connect(CopyFixture("nutaro/nuta4-basic.mdb"));
  auto table = OpenTable(*database, "nuta");
  const int count = table->RowCount();
  RecordedDaoCalls log;
  {
    const ScopedDaoCallLog scope(log);
    table->AppendRow();
    table->FieldNamed("Kcal").SetTextValue("1");
    table->CancelRow();
  }
  EXPECT_EQ(std::find(log.calls.begin(), log.calls.end(), "Recordset.AddNew"), log.calls.end());
  EXPECT_EQ(table->State(), TDataSetState::Browse);
  EXPECT_EQ(table->RowCount(), count);

  // A cancelled change goes back to the stored values.
  table->GoFirst();
  table->EditRow();
  table->FieldNamed("Kcal").SetTextValue("999");
  log.calls.clear();
  {
    const ScopedDaoCallLog scope(log);
    table->CancelRow();
  }
  EXPECT_NE(std::find(log.calls.begin(), log.calls.end(), "Recordset.CancelUpdate"), log.calls.end());
  EXPECT_EQ(table->FieldNamed("Kcal").TextValue(), "52");
}

TEST_F(EditingTest, WritingAFieldOutsideAChangeIsRefused) {
  auto database = Connect(CopyFixture("nutaro/nuta4-basic.mdb"));
  auto table = OpenTable(*database, "nuta");
  EXPECT_EQ(ErrorOf([&] { table->FieldNamed("Kcal").SetTextValue("1"); }),
            "AccessTable1: Datenmenge weder im Editier- noch im Einfügemodus");
  EXPECT_EQ(table->FieldNamed("Kcal").TextValue(), "52");
}

TEST_F(EditingTest, DaoFailuresWhilePostingAndTheErrorEvent) {
  auto database = Connect(CopyFixture("nutaro/nuta4-basic.mdb"));
  auto table = OpenTable(*database, "nuta");
  const int count = table->RowCount();
  // A value the column cannot hold: DAO refuses it, the row stays pending
  // and nothing is stored.
  table->AppendRow();
  table->FieldNamed("Nahrungsmittel").SetTextValue("Tee");
  table->FieldNamed("Fett").SetTextValue("1e300");  // too large for a Single
  const std::string refused = ErrorOf([&] { table->PostRow(); });
  EXPECT_NE(refused, "");
  EXPECT_EQ(table->State(), TDataSetState::Insert);
  EXPECT_EQ(database->GetLastDaoError().Description, refused);
  EXPECT_EQ(table->RowCount(), count);

  // The event sees DAO's description; retry after mending the value stores the row.
  std::vector<std::string> seen;
  table->Events().onPostError = [&](TDataSet& dataSet, const EDatabaseError& error, TDataAction& action) {
    seen.push_back(error.what());
    static_cast<TAccessTable&>(dataSet).FieldNamed("Fett").SetTextValue("1");
    action = TDataAction::Retry;
  };
  table->PostRow();
  EXPECT_EQ(seen, std::vector<std::string>{refused});
  EXPECT_EQ(table->State(), TDataSetState::Browse);
  EXPECT_EQ(table->RowCount(), count + 1);

  // Abort ends silently with the row still pending and DAO's copy dropped.
  table->AppendRow();
  table->FieldNamed("Fett").SetTextValue("1e300");
  table->Events().onPostError = [](TDataSet&, const EDatabaseError&, TDataAction& action) {
    action = TDataAction::Abort;
  };
  EXPECT_THROW(table->PostRow(), platform::EAbort);
  EXPECT_EQ(table->State(), TDataSetState::Insert);
  table->CancelRow();
  EXPECT_EQ(table->RowCount(), count + 1);
}

TEST_F(EditingTest, AppendingToTheIndexedTargetContinuesItsAutoNumbers) {
  const std::string path = CopyFixture("nutaro/nuta4-target-indexed.mdb");
  auto database = Connect(path);
  auto table = OpenTable(*database, "Nuta");
  for (int i = 0; i < 3; ++i) {
    table->AppendRow();
    table->FieldNamed("Nahrungsmittel").SetTextValue("Äpfel, roh");  // a duplicate key of the text index
    table->FieldNamed("Kcal").SetTextValue("52");
    table->PostRow();
    EXPECT_EQ(table->FieldNamed("ID").TextValue(), std::to_string(11 + i));
    EXPECT_EQ(table->RowNumber(), 11 + i);
  }
  table->SetActive(false);
  database->SetConnected(false);
  if (!dao::jet::testing::HaveMdbReader()) GTEST_SKIP() << "mdb-reader missing";
  const auto json = dao::jet::testing::MdbReaderJson(path, "Nuta");
  ASSERT_TRUE(json);
  const dao::testing::Json read = dao::testing::ParseJson(*json);
  const auto& rows = read["tables"].items.at(0)["rows"].items;
  ASSERT_EQ(rows.size(), 13u);
  EXPECT_EQ(rows[12].items[0].text, "13");
  EXPECT_EQ(rows[12].items[1].text, "Äpfel, roh");
}

}  // namespace
}  // namespace accessdb
