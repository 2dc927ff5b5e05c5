// Stored queries: every kind of query Access stores read with the SQL an
// independent reader rebuilds from the same rows, queries created here
// stored as Access stores them (and read back by mdb-queries), parameters,
// MaxRecords, running stored queries, and queries that read queries.

#include <gtest/gtest.h>

#include <filesystem>

#include "dao/constants.h"
#include "dao/db_engine.h"
#include "dao/jet/tests/external_readers.h"
#include "dao/jet/tests/file_checks.h"
#include "dao/tests/fixture_support.h"
#include "dao/tests/write_support.h"

namespace dao {
namespace {

using platform::Variant;

// SQL compared up to white space (and the NUL that ends stored
// data-definition text) and the brackets around names.
std::string Normalized(const std::string& sql) {
  std::string out;
  for (const char c : sql) {
    if (c != ' ' && c != '\r' && c != '\n' && c != '\t' && c != '\0' && c != '[' && c != ']') out.push_back(c);
  }
  if (!out.empty() && out.back() == ';') out.pop_back();
  return out;
}

int TypeOfKind(const std::string& kind) {
  static const std::map<std::string, int> kKinds = {
      {"SELECT", 0},       {"CROSS_TAB", 16},        {"DELETE", 32},           {"UPDATE", 48},
      {"APPEND", 64},      {"MAKE_TABLE", 80},       {"DATA_DEFINITION", 96},  {"PASSTHROUGH", 112},
      {"UNION", 128}};
  return kKinds.at(kind);
}

TEST(StoredQueryFixtureTest, EveryKindOfQueryReadsWithTheSqlOfItsRows) {
  if (testing::FixturesDir().empty()) GTEST_SKIP() << "fixture folder is absent";
  const auto engine = DBEngine::Create("DAO.DBEngine.36");
  const auto workspace = engine->CreateWorkspace("queries", "Admin", "");
  int checked = 0;
  for (const auto& entry : std::filesystem::directory_iterator(testing::FixturesDir() / "access" / "expected")) {
    const auto expectedFile = entry.path() / "queries.json";
    if (!std::filesystem::exists(expectedFile)) continue;
    SCOPED_TRACE(entry.path().filename().string());
    const auto database = workspace->OpenDatabase(
        (testing::FixturesDir() / "access" / (entry.path().filename().string() + ".mdb")).string(), false, true);
    const testing::Json expected = testing::ReadJsonFile(expectedFile);
    EXPECT_EQ(database->QueryDefs().Count(), static_cast<int>(expected.items.size()));
    for (const testing::Json& query : expected.items) {
      SCOPED_TRACE(query["name"].text);
      const auto& stored = database->QueryDefs().Item(query["name"].text);
      EXPECT_EQ(Normalized(stored->SQL()), Normalized(query["sql"].text)) << stored->SQL();
      EXPECT_EQ(stored->Type(), TypeOfKind(query["type"].text));
      EXPECT_FALSE(stored->DateCreated().IsNull());
      std::vector<std::string> parameters;
      for (const auto& parameter : stored->Parameters()) parameters.push_back(parameter->Name());
      std::vector<std::string> declared;
      // The reference lists "name type"; only declared parameters.
      for (const testing::Json& parameter : query["parameters"].items) {
        declared.push_back(parameter.text.substr(0, parameter.text.rfind(' ')));
      }
      if (stored->Type() != 0) EXPECT_EQ(parameters, declared);
      ++checked;
    }
  }
  EXPECT_EQ(checked, 18);
}

class QueryDefTest : public testing::WritingTest {
 protected:
  void SetUp() override {
    WritingTest::SetUp();
    database_ = NewDatabase("queries.mdb");
    database_->Execute("CREATE TABLE Food (Id COUNTER PRIMARY KEY, Name TEXT(50), Kcal LONG, [Group] TEXT(20))");
    database_->Execute("CREATE TABLE [Food Group] (Name TEXT(20) PRIMARY KEY, Note TEXT(50))");
    for (const char* row : {"('apple', 52, 'Fruit')", "('bread', 245, 'Bakery')", "('butter', 741, 'Dairy')",
                            "('cheese', 402, 'Dairy')", "('pear', 55, 'Fruit')"}) {
      database_->Execute(std::string("INSERT INTO Food (Name, Kcal, [Group]) VALUES ") + row);
    }
    database_->Execute("INSERT INTO [Food Group] VALUES ('Dairy', 'from milk')");
    database_->Execute("INSERT INTO [Food Group] VALUES ('Fruit', 'from trees')");
  }

  std::vector<std::string> Names(Recordset& recordset) {
    std::vector<std::string> names;
    for (; !recordset.AtEOF(); recordset.MoveNext()) names.push_back(recordset.Fields().Item(0)->Value().ToText());
    return names;
  }

  std::shared_ptr<Database> database_;
};

TEST_F(QueryDefTest, CreatedQueriesAreStoredAsAccessStoresThemAndReadBack) {
  const std::vector<std::pair<std::string, std::string>> queries = {
      {"Rich", "SELECT DISTINCT Food.Name, Food.Kcal AS Energy\r\nFROM Food\r\nWHERE (((Food.Kcal)>100))\r\nORDER BY Food.Name DESC;"},
      {"By group",
       "PARAMETERS [Which group] Text;\r\nSELECT Food.Name, [Food Group].Note\r\nFROM Food INNER JOIN [Food Group] ON "
       "Food.[Group] = [Food Group].Name\r\nWHERE Food.[Group]=[Which group];"},
      {"Counts", "SELECT TOP 2 Food.[Group], Count(*) AS Foods, Max(Food.Kcal) AS Most\r\nFROM Food\r\nGROUP BY "
                 "Food.[Group]\r\nHAVING Count(*)>1\r\nORDER BY Count(*) DESC;"},
      {"Double", "UPDATE Food\r\nSET Food.Kcal = Food.Kcal*2\r\nWHERE Food.Kcal<[Below];"},
      {"Copy", "INSERT INTO Food (Name, Kcal)\r\nSELECT Food.Name & ' copy', Food.Kcal\r\nFROM Food;"},
      {"Forget", "DELETE Food.*\r\nFROM Food\r\nWHERE Food.Kcal>700;"},
      {"Keep", "SELECT Food.* INTO Saved\r\nFROM Food;"},
      {"Both", "SELECT Name FROM Food\r\nUNION SELECT Name FROM [Food Group];"},
      {"Table", "CREATE TABLE Extra (Id LONG, Note TEXT(10));"},
      // The value's alias is part of what Access stores.
      {"Cross", "TRANSFORM Sum(Food.Kcal) AS SumOfKcal\r\nSELECT Food.Name\r\nFROM Food\r\nGROUP BY Food.Name\r\n"
                "PIVOT Food.[Group];"},
  };
  for (const auto& [name, sql] : queries) database_->CreateQueryDef(name, sql);
  EXPECT_EQ(ErrorOf([&] { database_->CreateQueryDef("Rich", "SELECT * FROM Food"); }), 3012);
  EXPECT_EQ(ErrorOf([&] { database_->CreateQueryDef("Food", "SELECT * FROM Food"); }), 3010);
  EXPECT_EQ(ErrorOf([&] { database_->CreateQueryDef("Bad", "SELECT FROM WHERE"); }), 3141);
  database_->Close();
  jet::testing::ExpectFileKeepsTheChecklist(Path("queries.mdb"));

  database_ = workspace_->OpenDatabase(Path("queries.mdb"));
  EXPECT_EQ(database_->QueryDefs().Count(), static_cast<int>(queries.size()));
  for (const auto& [name, sql] : queries) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Normalized(database_->QueryDefs().Item(name)->SQL()), Normalized(sql));
  }
  EXPECT_EQ(database_->QueryDefs().Item("Counts")->Type(), 0);
  EXPECT_EQ(database_->QueryDefs().Item("Double")->Type(), 48);
  EXPECT_EQ(database_->QueryDefs().Item("Copy")->Type(), 64);
  EXPECT_EQ(database_->QueryDefs().Item("Forget")->Type(), 32);
  EXPECT_EQ(database_->QueryDefs().Item("Keep")->Type(), 80);
  EXPECT_EQ(database_->QueryDefs().Item("Both")->Type(), 128);
  EXPECT_EQ(database_->QueryDefs().Item("Table")->Type(), 96);
  EXPECT_EQ(database_->QueryDefs().Item("Cross")->Type(), 16);
  database_->Close();

  if (!jet::testing::HaveMdbTools()) GTEST_SKIP() << "mdbtools missing";
  const auto read = [&](const std::string& name) {
    return jet::testing::RunCommand("mdb-queries -1 " + Path("queries.mdb") + " '" + name + "'").value_or("");
  };
  EXPECT_EQ(Normalized(read("Rich")), Normalized("SELECT DISTINCT Food.Name,Food.Kcal FROM [Food] WHERE (((Food.Kcal)>100)) ORDER BY Food.Name DESCENDING"));
  EXPECT_EQ(Normalized(read("By group")),
            Normalized("SELECT Food.Name,[Food Group].Note FROM [Food],[Food Group] WHERE Food.[Group]=[Which group]"));
  EXPECT_TRUE(jet::testing::MdbExport(Path("queries.mdb"), "Food"));
  if (jet::testing::HaveMdbReader()) EXPECT_TRUE(jet::testing::MdbReaderJson(Path("queries.mdb"), "Food"));
}

TEST_F(QueryDefTest, StoredQueriesOpenAndRunWithTheirParameters) {
  const auto byGroup = database_->CreateQueryDef(
      "By group", "PARAMETERS [Which group] Text; SELECT Name FROM Food WHERE [Group] = [Which group] ORDER BY Name");
  ASSERT_EQ(byGroup->Parameters().Count(), 1);
  EXPECT_EQ(byGroup->Parameters().Item(0)->Type(), dbText);
  EXPECT_EQ(ErrorOf([&] { byGroup->OpenRecordset(); }), 3061);
  byGroup->Parameters().Item("Which group")->SetValue(Variant("dairy"));
  EXPECT_EQ(Names(*byGroup->OpenRecordset()), (std::vector<std::string>{"butter", "cheese"}));
  byGroup->SetMaxRecords(1);
  EXPECT_EQ(Names(*byGroup->OpenRecordset(dbOpenSnapshot)), (std::vector<std::string>{"butter"}));

  // A name no table has is a parameter as well.
  const auto above = database_->CreateQueryDef("Above", "SELECT Name FROM Food WHERE Kcal > Least ORDER BY Kcal");
  ASSERT_EQ(above->Parameters().Count(), 1);
  EXPECT_EQ(above->Parameters().Item(0)->Name(), "Least");
  EXPECT_EQ(ErrorOf([&] { above->Parameters().Item(0)->SetValue(Variant("many")); }), 0);
  above->Parameters().Item(0)->SetValue(Variant(400));
  EXPECT_EQ(Names(*above->OpenRecordset()), (std::vector<std::string>{"cheese", "butter"}));

  const auto halve = database_->CreateQueryDef("Halve", "PARAMETERS Limit Long; UPDATE Food SET Kcal = Kcal \\ 2 WHERE Kcal > Limit");
  EXPECT_EQ(ErrorOf([&] { halve->Parameters().Item("Limit")->SetValue(Variant("lots")); }), 3421);
  halve->Parameters().Item("Limit")->SetValue(Variant("400"));
  halve->Execute(dbFailOnError);
  EXPECT_EQ(halve->RecordsAffected(), 2);
  EXPECT_EQ(ErrorOf([&] { halve->OpenRecordset(); }), 3219);
  EXPECT_EQ(ErrorOf([&] { byGroup->Execute(); }), 3065);

  // Queries read stored queries as tables.
  database_->CreateQueryDef("Fruit", "SELECT Name, Kcal FROM Food WHERE [Group] = 'Fruit'");
  EXPECT_EQ(Names(*database_->OpenRecordset("SELECT Name FROM Fruit WHERE Kcal > 52")), (std::vector<std::string>{"pear"}));
  EXPECT_EQ(Names(*database_->OpenRecordset("Fruit")), (std::vector<std::string>{"apple", "pear"}));
  database_->CreateQueryDef("Loop", "SELECT * FROM Loop");
  EXPECT_EQ(ErrorOf([&] { database_->OpenRecordset("Loop"); }), 3360);

  // The SQL of a stored query is replaced; deleted queries are gone.
  database_->QueryDefs().Item("Fruit")->SetSQL("SELECT Name FROM Food WHERE [Group] = 'Bakery'");
  EXPECT_EQ(Names(*database_->OpenRecordset("Fruit")), (std::vector<std::string>{"bread"}));
  database_->QueryDefs().Delete("Loop");
  EXPECT_FALSE(database_->QueryDefs().Contains("Loop"));
  database_->Execute("Halve");
  const auto later = database_->CreateQueryDef("Later");
  later->SetSQL("SELECT Count(*) FROM Food");
  EXPECT_TRUE(database_->QueryDefs().Contains("Later"));
  database_->Close();
  jet::testing::ExpectFileKeepsTheChecklist(Path("queries.mdb"));
}

}  // namespace
}  // namespace dao
