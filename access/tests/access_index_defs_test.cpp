// Index definitions of TAccessTable: read from DAO for table-type
// recordsets (on our tables and on tables Access made), choosing an index
// for key fields, IndexName, and RefreshIndexList creating and deleting
// DAO indexes, checked by reopening and by mdbtools' reader.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "access/tests/access_test_support.h"
#include "access/tests/search_test_support.h"
#include "dao/database.h"
#include "dao/jet/tests/external_readers.h"

namespace accessdb {
namespace {

using namespace recordset;
using platform::Variant;
using testing::ErrorOf;

const TIndexDef* Find(TAccessTable& table, const std::string& name) {
  for (const TIndexDef& def : table.IndexDefs()) {
    if (def.name == name) return &def;
  }
  return nullptr;
}

// The number of rows mdbtools' reader finds in `table` of `file`: the
// index changes must leave every row readable. (Its schema printer does not
// read the index definitions our engine writes reliably, so the indexes
// themselves are checked by reopening.) Nothing without mdbtools.
std::optional<std::size_t> ExportedRows(const std::string& file, const std::string& table) {
  const auto csv = dao::jet::testing::MdbExport(file, table);
  if (!csv) return std::nullopt;
  const auto lines = static_cast<std::size_t>(std::count(csv->begin(), csv->end(), '\n'));
  return lines == 0 ? 0 : lines - 1;
}

class IndexDefsTest : public testing::AccessTest {
 protected:
  std::unique_ptr<TAccessTable> OpenTableType(TAccessDatabase& database, const std::string& name) {
    auto table = std::make_unique<TAccessTable>("T");
    table->SetDatabase(&database);
    table->SetTableName(name);
    table->SetTableType(kTableTypeTable);
    table->SetActive(true);
    return table;
  }

  std::unique_ptr<TAccessDatabase> TypedDatabase() {
    auto database = NewDatabase("typen.mdb");
    rows_ = testing::CreateTypedTable(*database, 40, 3);
    dao::Database& dao = *database->DatabaseObject();
    dao.Execute("CREATE INDEX ixName ON Typen (Name)");
    dao.Execute("CREATE INDEX ixZahlName ON Typen (Zahl, Name DESC)");
    dao.Execute("CREATE INDEX ixAb ON Typen (Datum DESC, Zeit DESC)");
    dao.Execute("CREATE UNIQUE INDEX PrimaryKey ON Typen (Nr) WITH PRIMARY");
    database->RefreshDefinitions();
    return database;
  }

  std::vector<std::vector<Variant>> rows_;
};

TEST_F(IndexDefsTest, TableTypeRecordsetsDescribeTheirIndexes) {
  auto database = TypedDatabase();
  auto table = OpenTableType(*database, "Typen");
  ASSERT_EQ(table->IndexDefs().Count(), 4);
  const TIndexDef* zahlName = Find(*table, "ixZahlName");
  ASSERT_NE(zahlName, nullptr);
  EXPECT_EQ(zahlName->fields, "Zahl");
  EXPECT_EQ(zahlName->descFields, "Name");
  EXPECT_TRUE(zahlName->options.Empty());
  const TIndexDef* descending = Find(*table, "ixAb");
  ASSERT_NE(descending, nullptr);
  EXPECT_EQ(descending->fields, "");
  EXPECT_EQ(descending->descFields, "Datum;Zeit");
  EXPECT_TRUE(descending->options.Has(ixDescending));
  const TIndexDef* primary = Find(*table, "PrimaryKey");
  ASSERT_NE(primary, nullptr);
  EXPECT_TRUE(primary->options.Has(ixPrimary));
  EXPECT_TRUE(primary->options.Has(ixUnique));
  // Other recordset types keep none.
  table->SetActive(false);
  table->SetTableType(kTableTypeDynaset);
  table->SetActive(true);
  EXPECT_TRUE(table->IndexDefs().Empty());
}

TEST_F(IndexDefsTest, AnIndexIsChosenForKeyFields) {
  TAccessTable table("T");
  table.SetTableType(kTableTypeTable);
  table.IndexDefs().Add("ZahlName", "Zahl;Name");
  table.IndexDefs().Add("NameZahlNr", "Name;Zahl;Nr");
  table.IndexDefs().Add("Nr", "Nr");
  table.IndexDefs().Add("NrName", "Nr").descFields = "Name";
  // The first index leading with a key field, else the last candidate.
  EXPECT_EQ(table.IndexForFields("Name"), "NameZahlNr");
  EXPECT_EQ(table.IndexForFields("zahl; NAME"), "ZahlName");
  EXPECT_EQ(table.IndexForFields("Nr"), "Nr");
  EXPECT_EQ(table.IndexForFields("Zahl;Nr"), "NameZahlNr");
  EXPECT_EQ(table.IndexForFields("Fett"), "");
  // "!" asks for exactly these fields.
  EXPECT_EQ(table.IndexForFields("!Nr"), "Nr");
  EXPECT_EQ(table.IndexForFields("!Name;Nr"), "NrName");
  EXPECT_EQ(table.IndexForFields("!Name"), "");
  EXPECT_EQ(table.IndexForFields("!"), "");
  // Only table-type recordsets search by index.
  table.SetTableType(kTableTypeDynaset);
  table.IndexDefs().Add("Nr", "Nr");
  EXPECT_EQ(table.IndexForFields("Nr"), "");
}

TEST_F(IndexDefsTest, IndexNameOrdersAnOpenTableAndIsKeptForTheNextOpen) {
  auto database = TypedDatabase();
  auto table = OpenTableType(*database, "Typen");
  table->SetActive(false);
  table->SetSortedBy({"Nr"});
  table->SetIndexName("PrimaryKey");
  EXPECT_TRUE(table->SortedBy().empty());
  table->SetActive(true);
  table->SetIndexName("ixZahlName");
  const auto zahlen = [&] {
    std::vector<std::optional<int>> values;
    for (table->GoFirst(); !table->AtEnd(); table->GoNext()) {
      const Variant value = table->FieldNamed("Zahl").VariantValue();
      values.push_back(value.IsNull() ? std::nullopt : std::optional<int>(value.ToInt32()));
    }
    return values;
  };
  std::vector<std::optional<int>> ordered = zahlen();
  EXPECT_EQ(ordered.size(), 40u);
  EXPECT_TRUE(std::is_sorted(ordered.begin(), ordered.end()));
  table->SetActive(false);
  table->SetActive(true);
  EXPECT_EQ(zahlen(), ordered);
  EXPECT_EQ(table->IndexName(), "ixZahlName");
  EXPECT_THROW(table->SetIndexName("gibtsnicht"), std::exception);
  EXPECT_EQ(table->IndexName(), "ixZahlName");
}

TEST_F(IndexDefsTest, RefreshingCreatesAndDeletesIndexesOnOurTable) {
  auto database = TypedDatabase();
  auto table = OpenTableType(*database, "Typen");
  std::vector<TIndexDef> wanted;
  for (const TIndexDef& def : table->IndexDefs()) {
    if (def.name != "ixName") wanted.push_back(def);
  }
  table->IndexDefs().Clear();
  for (const TIndexDef& def : wanted) table->IndexDefs().Add(def.name, def.fields, def.options).descFields = def.descFields;
  table->IndexDefs().Add("ixGeld", "Geld", {ixUnique}).descFields = "Nr";
  // A definition naming a field the table lacks is left out.
  table->IndexDefs().Add("ixFalsch", "Gewicht");
  table->RefreshIndexList();
  EXPECT_TRUE(table->Active());
  EXPECT_EQ(Find(*table, "ixName"), nullptr);
  EXPECT_EQ(Find(*table, "ixFalsch"), nullptr);
  const TIndexDef* geld = Find(*table, "ixGeld");
  ASSERT_NE(geld, nullptr);
  EXPECT_EQ(geld->fields, "Geld");
  EXPECT_EQ(geld->descFields, "Nr");
  EXPECT_TRUE(geld->options.Has(ixUnique));
  // The table finds by the new index.
  table->SetIndexName("ixGeld");
  ASSERT_TRUE(table->LocateRow("Geld;Nr", {rows_[5][9], Variant(6)}, {}));
  EXPECT_EQ(table->FieldNamed("Nr").VariantValue().ToInt32(), 6);
  table->SetActive(false);
  database->SetConnected(false);
  if (const auto rows = ExportedRows(Path("typen.mdb"), "Typen")) EXPECT_EQ(*rows, 40u);
  auto again = Connect(Path("typen.mdb"));
  auto reopened = OpenTableType(*again, "Typen");
  EXPECT_NE(Find(*reopened, "ixGeld"), nullptr);
  EXPECT_EQ(Find(*reopened, "ixName"), nullptr);
}

TEST_F(IndexDefsTest, RefreshingWorksOnATableAccessMade) {
  const std::string file = CopyFixture("access/v2003-compIndexTest.mdb");
  auto database = Connect(file);
  auto table = OpenTableType(*database, "Table1");
  ASSERT_EQ(table->IndexDefs().Count(), 1);
  const TIndexDef made = table->IndexDefs()[0];
  EXPECT_EQ(made.descFields, "CD_AGENTE");
  EXPECT_TRUE(made.options.Has(ixDescending));
  // Seek on Access's descending index.
  ASSERT_TRUE(table->LocateRow("CD_AGENTE", {Variant(27)}, {}));
  EXPECT_EQ(table->FieldNamed("CD_AGENTE").VariantValue().ToInt32(), 27);
  EXPECT_FALSE(table->LocateRow("CD_AGENTE", {Variant(28)}, {}));
  table->IndexDefs().Clear();
  table->IndexDefs().Add("ixRs", "RS_AGENTE;CD_AGENTE");
  table->RefreshIndexList();
  ASSERT_EQ(table->IndexDefs().Count(), 1);
  EXPECT_EQ(table->IndexDefs()[0].name, "ixRs");
  EXPECT_EQ(table->IndexDefs()[0].fields, "RS_AGENTE;CD_AGENTE");
  ASSERT_TRUE(table->LocateRow("CD_AGENTE;RS_AGENTE", {Variant(27), Variant("abc")}, {}));
  EXPECT_EQ(table->FieldNamed("CD_AGENTE").VariantValue().ToInt32(), 27);
  table->SetActive(false);
  database->SetConnected(false);
  if (const auto rows = ExportedRows(file, "Table1")) EXPECT_EQ(*rows, 512u);
  auto again = Connect(file);
  auto reopened = OpenTableType(*again, "Table1");
  ASSERT_EQ(reopened->IndexDefs().Count(), 1);
  EXPECT_EQ(reopened->IndexDefs()[0].name, "ixRs");
}

TEST_F(IndexDefsTest, RefreshingADynasetLeavesTheIndexesAlone) {
  auto database = TypedDatabase();
  auto table = OpenTable(*database, "Typen");
  EXPECT_TRUE(table->IndexDefs().Empty());
  table->RefreshIndexList();
  EXPECT_EQ(database->DatabaseObject()->TableDefs().Item("Typen")->Indexes().Count(), 4);
}

}  // namespace
}  // namespace accessdb
