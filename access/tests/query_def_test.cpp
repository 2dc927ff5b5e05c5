// TAccessTable on stored queries: the queries Access stored in the
// fixtures (their type names, their SQL, the select queries opened), and
// queries stored through QueryDefSQLText and opened with the values of
// their parameters, on copies of the fixtures.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "access/access_table.h"
#include "access/tests/access_test_support.h"
#include "dao/jet/tests/external_readers.h"
#include "dao/tests/fixture_support.h"

namespace accessdb {
namespace {

using namespace recordset;
using testing::ErrorOf;
using testing::TextRows;

constexpr std::string_view kInvalidParameters =
    "AccessTable1: TAccessTable.OpenDaoRecordset: Invalid number of QueryDef parameters or parameter is not in "
    "valid format!";

// The query types of the expected listings, by DAO's names.
const std::map<std::string, std::string> kTypeNames = {
    {"SELECT", "dbQSelect"},         {"CROSS_TAB", "dbQCrosstab"},       {"DELETE", "dbQDelete"},
    {"UPDATE", "dbQUpdate"},         {"APPEND", "dbQAppend"},            {"MAKE_TABLE", "dbQMakeTable"},
    {"DATA_DEFINITION", "dbQDDL"},   {"PASSTHROUGH", "dbQSQLPassThrough"}, {"UNION", "dbQSetOperation"},
};

class QueryDefTest : public testing::AccessTest {
 protected:
  std::unique_ptr<TAccessTable> QueryTable(TAccessDatabase& database, const std::string& queryName) {
    auto table = std::make_unique<TAccessTable>("AccessTable1");
    table->SetDatabase(&database);
    table->SetQueryDefName(queryName);
    return table;
  }
};

TEST_F(QueryDefTest, EveryStoredQueryOfAccessHasItsTypeNameAndText) {
  for (const char* fixture : {"v1997-queryTest", "v2000-queryTest"}) {
    auto database = Connect(CopyFixture(std::string("access/") + fixture + ".mdb"));
    const dao::testing::Json expected =
        dao::testing::ReadJsonFile(dao::testing::FixturesDir() / "access" / "expected" / fixture / "queries.json");
    ASSERT_EQ(expected.items.size(), 9u);
    for (const dao::testing::Json& query : expected.items) {
      auto table = QueryTable(*database, query["name"].text);
      EXPECT_EQ(table->QueryDefType(), kTypeNames.at(query["type"].text)) << fixture << " " << query["name"].text;
      EXPECT_EQ(table->QueryDefSQLText(), database->GetQueryDefSQL(query["name"].text));
      EXPECT_FALSE(table->QueryDefSQLText().empty());
    }
    // The select query opens through its own recordset, with its fields
    // (named with their tables where two tables give the same name).
    auto select = QueryTable(*database, "SelectQuery");
    select->SetActive(true);
    EXPECT_EQ(select->RowCount(), 0);
    ASSERT_GE(select->FieldCount(), 4);
    EXPECT_EQ(select->Field(0).FieldName(), "Table1.col1");
    // The query's own dates stand for the table's.
    EXPECT_NE(select->TableDateCreated(), "");
    EXPECT_NE(select->TableLastUpdated(), "");
    // An action query is no source of rows: DAO's own refusal comes through.
    auto update = QueryTable(*database, "DeleteQuery");
    EXPECT_FALSE(ErrorOf([&] { update->SetActive(true); }).empty());
    EXPECT_FALSE(update->Active());
  }
}

TEST_F(QueryDefTest, TypeAndTextAreEmptyWithoutAConnectionOrAQuery) {
  auto database = Connect(CopyFixture("access/v2000-queryTest.mdb"));
  auto table = QueryTable(*database, "Missing");
  EXPECT_EQ(table->QueryDefType(), "");
  EXPECT_EQ(table->QueryDefSQLText(), "");
  table->SetQueryDefName("UnionQuery");
  EXPECT_EQ(table->QueryDefType(), "dbQSetOperation");
  database->SetConnected(false);
  EXPECT_EQ(table->QueryDefType(), "");
  // Without a connection the name is taken and the old text stays.
  table->SetQueryDefName("SelectQuery");
  EXPECT_EQ(table->QueryDefName(), "SelectQuery");
  EXPECT_NE(table->QueryDefSQLText().find("UNION"), std::string::npos);
  table->SetQueryDefName("");
  EXPECT_EQ(table->QueryDefType(), "");
}

TEST_F(QueryDefTest, ANameClearsTheOtherSourcesAndIsRefusedWhileOpen) {
  auto database = Connect(CopyFixture("nutaro/nuta4-basic.mdb"));
  database->CreateQueryDef("Alle", "SELECT * FROM nuta;");
  database->RefreshDefinitions();
  TAccessTable table("AccessTable1");
  table.SetDatabase(database.get());
  table.SetSQL("Select * from nuta where Kcal > :k");
  table.SetQueryDefParametersText("1\n2\n");
  table.SetMasterFields({"Rubrik"});
  table.SetTableType(kTableTypeTable);
  table.SetQueryDefName("Alle");
  EXPECT_EQ(table.SQL(), "");
  EXPECT_TRUE(table.Params().Empty());
  EXPECT_TRUE(table.QueryDefParameters().empty());
  EXPECT_TRUE(table.MasterFields().empty());
  EXPECT_EQ(table.TableType(), kTableTypeDynaset);
  table.SetTableType(kTableTypeDynamic);
  table.SetQueryDefName("Alle");
  EXPECT_EQ(table.TableType(), kTableTypeDynaset);
  table.SetActive(true);
  EXPECT_EQ(table.RowCount(), 28);
  EXPECT_EQ(ErrorOf([&] { table.SetQueryDefName("Other"); }),
            "AccessTable1: TAccessTable.F_Set_QueryDefName: Cannot set QueryDefName while Table is Active!");
  EXPECT_EQ(table.QueryDefName(), "Alle");
  table.SetActive(false);
  // A table name takes over from the query.
  table.SetTableName("nuta");
  EXPECT_EQ(table.QueryDefName(), "");
  EXPECT_EQ(table.QueryDefSQLText(), "");
}

TEST_F(QueryDefTest, QueriesWrittenThroughTheTableOpenWithTheirParameters) {
  const std::string path = CopyFixture("nutaro/nuta4-basic.mdb");
  auto database = Connect(path);
  const auto all = TextRows(*OpenTable(*database, "nuta", "Scan"));
  auto table = QueryTable(*database, "Auswahl");

  const std::string sql =
      "PARAMETERS [Welche Rubrik] Text ( 255 ), Mindestens Long;\n"
      "SELECT * FROM nuta WHERE Rubrik = [Welche Rubrik] AND Kcal >= Mindestens ORDER BY Kcal;";
  // Without QueryDefSQLModify the text is not written.
  table->SetQueryDefSQLText(sql);
  EXPECT_EQ(table->QueryDefSQLText(), "");
  EXPECT_EQ(table->QueryDefType(), "");
  table->SetQueryDefSQLModify(true);
  table->SetQueryDefSQLText(sql);
  EXPECT_EQ(table->QueryDefType(), "dbQSelect");
  EXPECT_EQ(table->QueryDefSQLText(), database->GetQueryDefSQL("Auswahl"));
  EXPECT_NE(table->QueryDefSQLText().find("[Welche Rubrik]"), std::string::npos);
  EXPECT_NE(std::find(database->QueryDefNames().begin(), database->QueryDefNames().end(), "Auswahl"),
            database->QueryDefNames().end());

  const auto expect = [&](const std::string& rubrik, int least) {
    std::vector<std::vector<std::string>> rows;
    for (const auto& row : all) {
      if (row[7] == rubrik && std::stoi(row[1]) >= least) rows.push_back(row);
    }
    std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return std::stoi(a[1]) < std::stoi(b[1]); });
    return rows;
  };
  table->SetQueryDefParameters({"Gemüse & Kartoffeln", "0"});
  table->SetActive(true);
  EXPECT_EQ(TextRows(*table), expect("Gemüse & Kartoffeln", 0));
  EXPECT_EQ(TextRows(*table).size(), 3u);
  table->SetActive(false);
  table->SetQueryDefParametersText("Obst\n53\n");
  table->SetActive(true);
  EXPECT_EQ(TextRows(*table), expect("Obst", 53));
  table->SetActive(false);
  // NULL is Null: nothing equals it.
  table->SetQueryDefParameters({"NULL", "0"});
  table->SetActive(true);
  EXPECT_EQ(table->RowCount(), 0);
  table->SetActive(false);

  // Too few values, and a value the parameter's type cannot take.
  table->SetQueryDefParameters({"Obst"});
  EXPECT_EQ(ErrorOf([&] { table->SetActive(true); }), kInvalidParameters);
  EXPECT_FALSE(table->Active());
  table->SetQueryDefParameters({"Obst", "viele"});
  EXPECT_EQ(ErrorOf([&] { table->SetActive(true); }), kInvalidParameters);
  EXPECT_FALSE(table->Active());

  // Writing the text again replaces the stored query; a parameter of the
  // table's own goes in as a literal first.
  table->SetSQL("");
  table->Params().Add("rub").SetValue(platform::Variant("Fisch"));
  table->Params()[0].SetDataType(ftString);
  table->SetQueryDefSQLText("SELECT Nahrungsmittel FROM nuta WHERE Rubrik = :rub;");
  EXPECT_NE(table->QueryDefSQLText().find("\"Fisch\""), std::string::npos);
  table->SetQueryDefParameters({});
  table->SetActive(true);
  EXPECT_EQ(table->FieldCount(), 1);
  EXPECT_EQ(table->RowCount(), 2);
  // Not while open: the assignment changes nothing.
  table->SetQueryDefSQLText("SELECT * FROM nuta;");
  EXPECT_NE(table->QueryDefSQLText().find("Fisch"), std::string::npos);
  table->SetActive(false);

  // MaxRecords limits the rows the query gives.
  table->SetQueryDefODBCMaxRecords(1);
  table->SetActive(true);
  EXPECT_EQ(table->RowCount(), 1);
  table->SetActive(false);
  database->SetConnected(false);

  // Another reader finds the stored query and its text.
  if (dao::jet::testing::HaveMdbTools()) {
    const auto names = dao::jet::testing::RunCommand("mdb-queries -L '" + path + "'");
    ASSERT_TRUE(names.has_value());
    EXPECT_NE(names->find("Auswahl"), std::string::npos);
    const auto text = dao::jet::testing::RunCommand("mdb-queries '" + path + "' Auswahl");
    ASSERT_TRUE(text.has_value());
    EXPECT_NE(text->find("Fisch"), std::string::npos);
  }
}

TEST_F(QueryDefTest, DaoRefusalsOfTheWrittenTextComeThrough) {
  auto database = Connect(CopyFixture("nutaro/nuta4-basic.mdb"));
  auto table = QueryTable(*database, "Kaputt");
  table->SetQueryDefSQLModify(true);
  EXPECT_FALSE(ErrorOf([&] { table->SetQueryDefSQLText("SELEKT nix VON nirgends"); }).empty());
  EXPECT_TRUE(database->QueryDefNames().empty());
  // The name of a table is no name for a query.
  table->SetQueryDefName("nuta");
  EXPECT_FALSE(ErrorOf([&] { table->SetQueryDefSQLText("SELECT * FROM nuta;"); }).empty());
}

}  // namespace
}  // namespace accessdb
