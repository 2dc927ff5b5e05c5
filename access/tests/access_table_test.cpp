// TAccessTable opening and describing its fields: the refusals and
// clearing rules of its properties, read-only forcing, the field
// descriptions taken from DAO, and every row of every fixture table read
// through TextValue and VariantValue.

#include <gtest/gtest.h>

#include <cmath>

#include "access/access_table.h"
#include "access/tests/access_test_support.h"
#include "dao/constants.h"
#include "dao/jet/tests/fixture_files.h"
#include "dao/tests/fixture_support.h"
#include "platform/format_settings.h"
#include "recordset/blob_fields.h"

namespace accessdb {
namespace {

using namespace recordset;
using platform::Variant;
using platform::VariantType;
using testing::ErrorOf;

class TableTest : public testing::AccessTest {};

TEST_F(TableTest, OpeningNeedsADatabaseASourceAndAConnection) {
  TAccessTable table("AccessTable1");
  EXPECT_EQ(ErrorOf([&] { table.SetActive(true); }),
            "AccessTable1: TAccessTable.OpenDaoRecordset: Missing Database Property");
  auto database = Connect(CopyFixture("nutaro/nuta4-basic.mdb"));
  table.SetDatabase(database.get());
  EXPECT_EQ(ErrorOf([&] { table.SetActive(true); }),
            "AccessTable1: TAccessTable.OpenDaoRecordset: Missing TableName or QueryDefName, or SQL is empty!");
  EXPECT_FALSE(table.Active());
  table.SetTableName("nuta");
  table.SetTableType(kTableTypeDynamic);
  EXPECT_EQ(ErrorOf([&] { table.SetActive(true); }),
            "AccessTable1: TAccessTable.OpenDaoRecordset: DynamicTables are for ODBC connections only!");
  table.SetTableType(kTableTypeDynaset);
  database->SetConnected(false);
  EXPECT_EQ(ErrorOf([&] { table.SetActive(true); }),
            "AccessTable1: TAccessTable.OpenDaoRecordset: Database is NOT connected");
  table.SetDatabaseAutoActivate(true);
  table.SetActive(true);
  EXPECT_TRUE(database->Connected());
  EXPECT_TRUE(table.Active());
  table.SetActive(false);
  table.SetTableName("fehlt");
  // DAO's own text, without the table's name in front.
  EXPECT_EQ(ErrorOf([&] { table.SetActive(true); }),
            "The database engine cannot find the input table or query 'fehlt'. Make sure it exists and that its "
            "name is spelled correctly.");
  EXPECT_FALSE(table.Active());
}

TEST_F(TableTest, SettingsThatShapeTheRecordsetAreRefusedWhileOpen) {
  auto database = Connect(CopyFixture("nutaro/nuta4-basic.mdb"));
  auto table = OpenTable(*database, "nuta");
  TAccessDatabase other;
  const std::pair<std::function<void()>, std::string> refusals[] = {
      {[&] { table->SetDatabase(&other); }, "TAccessTable.F_Set_Database: Cannot set Database while Table is Active!"},
      {[&] { table->SetTableName("x"); }, "TAccessTable.F_Set_TableName: Cannot set TableName while Table is active!"},
      {[&] { table->SetQueryDefName("x"); },
       "TAccessTable.F_Set_QueryDefName: Cannot set QueryDefName while Table is Active!"},
      {[&] { table->SetTableType(4); }, "TAccessTable.F_Set_TableType: Cannot set TableType while Table is active!"},
      {[&] { table->SetLockType(2); }, "TAccessTable.F_Set_LockType: Cannot set LockType while Table is active!"},
  };
  for (const auto& [action, message] : refusals) EXPECT_EQ(ErrorOf(action), "AccessTable1: " + message);
  EXPECT_EQ(table->Database(), database.get());
  EXPECT_EQ(table->TableName(), "nuta");
  EXPECT_EQ(table->TableType(), kTableTypeDynaset);
  EXPECT_EQ(table->LockType(), 3);
}

TEST_F(TableTest, EachSourceClearsTheOthers) {
  TAccessTable table;
  table.SetSQL("Select * from nuta");
  table.SetTableName("");  // an empty name changes nothing else
  EXPECT_EQ(table.SQL(), "Select * from nuta");
  table.FieldDefs().AddFieldDef("Lebensmittel", ftString, 255, true);
  table.SetTableName("nuta");
  EXPECT_EQ(table.SQL(), "");
  EXPECT_TRUE(table.FieldDefs().Empty());
  table.SetSQL("Select * from nuta");
  EXPECT_EQ(table.TableName(), "");
  table.SetQueryDefName("Abfrage");
  EXPECT_EQ(table.SQL(), "");
  table.SetTableType(kTableTypeTable);
  table.SetQueryDefName("Abfrage");
  EXPECT_EQ(table.TableType(), kTableTypeDynaset);  // a stored query is no table
}

TEST_F(TableTest, SnapshotsForwardOnlyAndReadOnlyDatabasesAreReadOnly) {
  auto database = Connect(CopyFixture("nutaro/nuta4-basic.mdb"));
  for (const int type : {kTableTypeSnapshot, kTableTypeForwardOnly}) {
    TAccessTable table;
    table.SetDatabase(database.get());
    table.SetTableName("nuta");
    table.SetTableType(type);
    table.SetActive(true);
    EXPECT_TRUE(table.ReadOnly()) << type;
    EXPECT_NE(ErrorOf([&] { table.AppendRow(); }), "") << type;
    EXPECT_EQ(table.RowCount(), type == kTableTypeForwardOnly ? -1 : 28) << type;
    EXPECT_EQ(testing::TextRows(table).size(), 28u) << type;
  }
  auto table = OpenTable(*database, "nuta");
  EXPECT_FALSE(table->ReadOnly());
  EXPECT_TRUE(table->IsWritable());
}

TEST_F(TableTest, ATableWithoutANameGetsAnAutomaticOne) {
  auto database = Connect(CopyFixture("nutaro/nuta4-basic.mdb"));
  auto table = OpenTable(*database, "nuta", "");
  EXPECT_TRUE(table->Name().starts_with("AccessTable_")) << table->Name();
  EXPECT_EQ(database->AttachedTables().front().first, table->Name());
}

TEST_F(TableTest, FieldsAreDescribedFromDaoReplacingStoredDefinitions) {
  auto database = Connect(CopyFixture("nutaro/nuta4-target-indexed.mdb"));
  TAccessTable table;
  table.SetDatabase(database.get());
  table.SetTableName("Nuta");
  // The layout a window stored is only what it expected.
  table.FieldDefs().AddFieldDef("Fett", ftInteger);
  table.SetActive(true);
  const TFieldDefs& defs = table.FieldDefs();
  ASSERT_EQ(defs.Count(), 9);
  EXPECT_EQ(defs[0].Name(), "ID");
  EXPECT_EQ(defs[0].DataType(), ftAutoInc);
  EXPECT_TRUE(table.FieldNamed("ID").ReadOnly());
  EXPECT_EQ(defs[1].DataType(), ftString);
  EXPECT_EQ(defs[1].Size(), 100);
  EXPECT_EQ(defs[2].DataType(), ftInteger);
  EXPECT_EQ(defs[4].DataType(), ftFloat);
  EXPECT_EQ(defs[4].Name(), "Fett");
  EXPECT_FALSE(table.FieldNamed("Fett").ReadOnly());
  // The description is there while closed too.
  table.SetActive(false);
  table.UpdateFieldDefs();
  EXPECT_EQ(table.FieldDefs().Count(), 9);
  EXPECT_FALSE(table.Active());
}

TEST_F(TableTest, DateFieldsAreDescribedByTheirFormat) {
  auto database = Connect(CopyFixture("nutaro/nuta4-empty.mdb"));
  dao::Database& dao = *database->DatabaseObject();
  const auto tableDef = dao.CreateTableDef("Zeiten");
  const std::pair<const char*, const char*> formats[] = {
      {"Kurz", "Short Time"}, {"Mittel", "Medium Time"}, {"Lang", "Long Time"}, {"Allgemein", "General Date"},
      {"Datum", "Short Date"}, {"Ohne", nullptr}};
  for (const auto& [name, format] : formats) {
    const auto field = tableDef->CreateField(name, dao::dbDate);
    if (format != nullptr) field->Properties().Append(field->CreateProperty("Format", dao::dbText, Variant(format)));
    tableDef->Fields().Append(field);
  }
  const auto text = tableDef->CreateField("Titel", dao::dbText, 20);
  text->Properties().Append(text->CreateProperty("Caption", dao::dbText, Variant("Überschrift")));
  tableDef->Fields().Append(text);
  dao.TableDefs().Append(tableDef);
  TAccessTable table;
  table.SetDatabase(database.get());
  table.SetTableName("Zeiten");
  table.SetUseCaptions(true);
  table.SetActive(true);
  const TFieldType expected[] = {ftTime, ftTime, ftTime, ftDateTime, ftDate, ftDateTime, ftString};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(table.FieldDefs()[i].DataType(), expected[i]) << table.FieldDefs()[i].Name();
  EXPECT_EQ(table.FieldNamed("Titel").DisplayLabel(), "Überschrift");
  EXPECT_EQ(table.FieldNamed("Kurz").DisplayLabel(), "Kurz");
  EXPECT_GE(table.FieldNamed("Ohne").DisplayWidth(), 20);
}

// --- Every row of every fixture ---------------------------------------------------

// What the table should give for a DAO value of a field described as
// `type`: DAO's value seen through the field type.
void ExpectSameValue(const Variant& dao, const TField& field) {
  const Variant ours = field.VariantValue();
  const bool daoNull = dao.IsNull() || (dao.Type() == VariantType::kString && dao.StringIf()->empty()) ||
                       (dao.Type() == VariantType::kBytes && dao.BytesIf()->empty());
  if (daoNull) {
    EXPECT_TRUE(ours.IsNull()) << field.FieldName();
    EXPECT_EQ(field.TextValue(), "") << field.FieldName();
    return;
  }
  ASSERT_FALSE(ours.IsNull()) << field.FieldName();
  switch (field.DataType()) {
    case ftString:
    case ftMemo:
      EXPECT_EQ(ours.ToText(), dao.ToText()) << field.FieldName();
      EXPECT_EQ(field.TextValue(), dao.ToText()) << field.FieldName();
      break;
    case ftBoolean:
      EXPECT_EQ(ours.ToBoolean(), dao.ToBoolean()) << field.FieldName();
      break;
    case ftSmallint:
    case ftInteger:
    case ftAutoInc:
      EXPECT_EQ(ours.ToInt64(), dao.ToInt64()) << field.FieldName();
      EXPECT_EQ(field.TextValue(), std::to_string(dao.ToInt64())) << field.FieldName();
      break;
    case ftFloat:
    case ftCurrency: {
      const double expected = dao.ToDouble();
      // Single values keep their 7 digits, doubles their 15.
      const double tolerance = std::fabs(expected) * (dao.Type() == VariantType::kSingle ? 1e-7 : 1e-14);
      EXPECT_NEAR(ours.ToDouble(), expected, tolerance) << field.FieldName();
      break;
    }
    case ftDateTime:
      EXPECT_NEAR(ours.ToDate(), dao.ToDate(), 1e-8) << field.FieldName();
      break;
    case ftDate:
      EXPECT_EQ(ours.ToDate(), std::trunc(dao.ToDate())) << field.FieldName();
      break;
    case ftTime:
      EXPECT_NEAR(ours.ToDate(), std::fabs(dao.ToDate() - std::trunc(dao.ToDate())), 1e-8) << field.FieldName();
      break;
    case ftBytes:
      if (dao.Type() == VariantType::kGuid) {
        const platform::Guid guid = dao.ToGuid();
        EXPECT_EQ(ours.ToBytes(), platform::Bytes(guid.bytes.begin(), guid.bytes.end())) << field.FieldName();
      } else {
        platform::Bytes expected = dao.ToBytes();
        expected.resize(static_cast<std::size_t>(field.Size()));
        EXPECT_EQ(ours.ToBytes(), expected) << field.FieldName();
      }
      break;
    case ftBlob:
      EXPECT_EQ(ours.ToBytes(), dao.ToBytes()) << field.FieldName();
      break;
    default:
      ADD_FAILURE() << field.FieldName() << " is of an unexpected type " << FieldTypeIdentifier(field.DataType());
  }
}

TEST_F(TableTest, EveryRowOfEveryFixtureReadsAsDaoReadsIt) {
  const platform::ScopedFormatSettings german(platform::GermanFormatSettings());
  for (const auto& fixture : dao::jet::testing::FixtureDatabases()) {
    const std::string relative = fixture.parent_path().filename().string() + "/" + fixture.filename().string();
    SCOPED_TRACE(relative);
    auto database = Connect(CopyFixture(relative));
    const bool jet3 = database->DatabaseVersionInfo() == "3.0";
    for (const std::string& name : database->TableNames()) {
      SCOPED_TRACE(name);
      auto table = OpenTable(*database, name);
      table->SetCacheMemos(jet3);  // memos through streams in Jet 4 files, cached in Jet 3 files
      auto daoRows = database->DatabaseObject()->OpenRecordset(name, dao::dbOpenSnapshot);
      int rows = 0;
      for (table->GoFirst(); !table->AtEnd(); table->GoNext(), daoRows->MoveNext()) {
        ASSERT_FALSE(daoRows->AtEOF());
        ++rows;
        EXPECT_EQ(table->RowNumber(), rows);
        for (int i = 0; i < table->FieldCount(); ++i) ExpectSameValue(daoRows->Fields().Item(i)->Value(), table->Field(i));
      }
      EXPECT_TRUE(daoRows->AtEOF());
      EXPECT_EQ(table->RowCount(), rows);
    }
  }
}

TEST_F(TableTest, TheNutaroSourcesGiveTheirExpectedValues) {
  const platform::ScopedFormatSettings german(platform::GermanFormatSettings());
  for (const char* name : {"nuta4-basic", "nuta4-noprotein", "nuta4-empty", "nuta4-target-indexed"}) {
    SCOPED_TRACE(name);
    const dao::testing::Json expected =
        dao::testing::ReadJsonFile(dao::testing::FixturesDir() / "nutaro" / (std::string(name) + ".expected.json"));
    auto database = Connect(CopyFixture(std::string("nutaro/") + name + ".mdb"));
    const dao::testing::Json& tableJson = expected["tables"].items.at(0);
    auto table = OpenTable(*database, tableJson["name"].text);
    const auto& columns = tableJson["columns"].items;
    const auto& rows = tableJson["rows"].items;
    ASSERT_EQ(table->RowCount(), static_cast<int>(rows.size()));
    std::size_t r = 0;
    for (table->GoFirst(); !table->AtEnd(); table->GoNext(), ++r) {
      for (std::size_t c = 0; c < columns.size(); ++c) {
        const dao::testing::Json& cell = rows[r].items[c];
        const TField& field = table->FieldNamed(columns[c]["name"].text);
        SCOPED_TRACE(field.FieldName() + " in row " + std::to_string(r));
        if (cell.kind == dao::testing::Json::Kind::kNull && field.DataType() == ftAutoInc) {
          // The expected files leave numbers the engine gives out open; the
          // fixture's AutoNumbers run from 1.
          EXPECT_EQ(field.VariantValue().ToInt64(), static_cast<std::int64_t>(r + 1));
        } else if (cell.kind == dao::testing::Json::Kind::kNull || (cell.kind == dao::testing::Json::Kind::kString && cell.text.empty())) {
          EXPECT_TRUE(field.VariantValue().IsNull());
          EXPECT_EQ(field.TextValue(), "");
        } else if (cell.kind == dao::testing::Json::Kind::kString) {
          EXPECT_EQ(field.TextValue(), cell.text);
        } else if (field.DataType() == ftFloat) {
          EXPECT_EQ(static_cast<float>(field.VariantValue().ToDouble()), static_cast<float>(cell.Number()));
        } else {
          EXPECT_EQ(field.TextValue(), cell.text);
          EXPECT_EQ(field.VariantValue().ToInt64(), std::stoll(cell.text));
        }
      }
    }
    EXPECT_EQ(r, rows.size());
  }
}

TEST_F(TableTest, FloatTextsFollowTheUsersLocale) {
  auto database = Connect(CopyFixture("nutaro/nuta4-basic.mdb"));
  auto table = OpenTable(*database, "nuta");
  {
    const platform::ScopedFormatSettings german(platform::GermanFormatSettings());
    table->GoFirst();  // rows are read as texts in the locale in force
    EXPECT_EQ(table->FieldNamed("Fett").TextValue(), "0,4");
    EXPECT_EQ(table->FieldNamed("BE").TextValue(), "0,95");
  }
  const platform::ScopedFormatSettings english(platform::EnglishUsFormatSettings());
  table->GoFirst();
  EXPECT_EQ(table->FieldNamed("Fett").TextValue(), "0.4");
  EXPECT_EQ(table->FieldNamed("Fett").VariantValue().ToDouble(), 0.4);
}

TEST_F(TableTest, AnSqlTextOpensAsADynasetOverItsTable) {
  const std::string path = CopyFixture("nutaro/nuta4-basic.mdb");
  auto database = Connect(path);
  TAccessTable table;
  table.SetDatabase(database.get());
  table.SetSQL("Select * from nuta");
  table.SetActive(true);
  EXPECT_EQ(table.RowCount(), 28);
  EXPECT_EQ(table.FieldCount(), 8);
  EXPECT_FALSE(table.ReadOnly());
  table.GoFirst();
  EXPECT_EQ(table.FieldNamed("Nahrungsmittel").TextValue(), "Äpfel, roh");
  // New rows go to the table.
  table.AppendRow();
  table.FieldNamed("Nahrungsmittel").SetTextValue("Quark");
  table.PostRow();
  EXPECT_EQ(table.RowCount(), 29);
  EXPECT_EQ(table.RowNumber(), 29);
  table.SetActive(false);
  auto check = OpenTable(*database, "nuta", "Pruefung");
  EXPECT_EQ(check->RowCount(), 29);

  // A condition and an order are DAO's business.
  TAccessTable sorted;
  sorted.SetDatabase(database.get());
  sorted.SetSQL("SELECT Nahrungsmittel, Kcal FROM nuta WHERE Kcal > 500 ORDER BY Kcal DESC");
  sorted.SetActive(true);
  const auto rows = testing::TextRows(sorted);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"Olivenöl", "884"}));
  EXPECT_EQ(rows[3], (std::vector<std::string>{"Nußnougatcreme", "541"}));

  TAccessTable broken("Kaputt");
  broken.SetDatabase(database.get());
  broken.SetSQL("Select * fron nuta");
  EXPECT_NE(ErrorOf([&] { broken.SetActive(true); }), "");
  EXPECT_FALSE(broken.Active());
}

TEST_F(TableTest, SortedByOrdersTheRowsAndRefreshSortedKeepsThemInOrder) {
  auto database = Connect(CopyFixture("nutaro/nuta4-basic.mdb"));
  auto table = OpenTable(*database, "nuta");
  table->SetSortedByText("Kcal DESC\r\nNahrungsmittel");
  EXPECT_EQ(table->SortedBy(), (std::vector<std::string>{"Kcal DESC", "Nahrungsmittel"}));
  ASSERT_TRUE(table->Active());
  EXPECT_EQ(table->FieldNamed("Nahrungsmittel").TextValue(), "Olivenöl");
  table->GoLast();
  EXPECT_EQ(table->FieldNamed("Nahrungsmittel").TextValue(), "Kräutertee, ungesüßt");
  EXPECT_EQ(table->RowNumber(), 28);
  table->SetRefreshSorted(true);
  table->AppendRow();
  table->FieldNamed("Nahrungsmittel").SetTextValue("Schmalz");
  table->FieldNamed("Kcal").SetTextValue("900");
  table->PostRow();
  // Read again in order, from the first row.
  EXPECT_EQ(table->FieldNamed("Nahrungsmittel").TextValue(), "Schmalz");
  EXPECT_EQ(table->RowNumber(), 1);
  EXPECT_EQ(table->RowCount(), 29);
  table->GoNext();
  EXPECT_EQ(table->FieldNamed("Nahrungsmittel").TextValue(), "Olivenöl");
  // Table-type recordsets keep their own order.
  table->SetActive(false);
  table->SetTableType(kTableTypeTable);
  EXPECT_TRUE(table->SortedBy().empty());
  table->SetSortedBy({"Kcal"});
  table->SetTableName("nuta");
  EXPECT_TRUE(table->SortedBy().empty());
}

}  // namespace
}  // namespace accessdb
