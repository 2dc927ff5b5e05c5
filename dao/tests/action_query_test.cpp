// Action queries and data definition through Database::Execute: the rows
// INSERT, UPDATE, DELETE and SELECT ... INTO change and RecordsAffected,
// all or nothing with dbFailOnError and row by row without it, tables and
// indexes made and dropped by SQL, and the files afterwards as the
// structural checks and an independent reader see them.

#include <gtest/gtest.h>

#include "dao/constants.h"
#include "dao/db_engine.h"
#include "dao/jet/tests/external_readers.h"
#include "dao/jet/tests/file_checks.h"
#include "dao/tests/write_support.h"

namespace dao {
namespace {

using platform::Variant;
using Rows = std::vector<std::vector<Variant>>;

class ActionQueryTest : public testing::WritingTest {
 protected:
  void SetUp() override {
    WritingTest::SetUp();
    database_ = NewDatabase("actions.mdb");
    database_->Execute(
        "CREATE TABLE Food (Id COUNTER CONSTRAINT PrimaryKey PRIMARY KEY, Name TEXT(50) NOT NULL, Kcal LONG, "
        "Fat DOUBLE, CONSTRAINT ByName UNIQUE (Name))");
    for (const char* values : {"('apple', 52, 0.4)", "('bread', 245, 1.2)", "('butter', 741, 83.2)", "('cheese', NULL, 29.2)"}) {
      database_->Execute(std::string("INSERT INTO Food (Name, Kcal, Fat) VALUES ") + values, dbFailOnError);
      EXPECT_EQ(database_->RecordsAffected(), 1);
    }
  }

  Rows Select(const std::string& sql) {
    Rows rows;
    const auto recordset = database_->OpenRecordset(sql, dbOpenSnapshot);
    for (; !recordset->AtEOF(); recordset->MoveNext()) {
      std::vector<Variant> row;
      for (const auto& field : recordset->Fields()) row.push_back(field->Value());
      rows.push_back(std::move(row));
    }
    return rows;
  }

  void CloseAndCheck() {
    database_->Close();
    jet::testing::ExpectFileKeepsTheChecklist(Path("actions.mdb"));
  }

  std::shared_ptr<Database> database_;
};

TEST_F(ActionQueryTest, InsertUpdateAndDeleteChangeTheRowsTheyName) {
  EXPECT_EQ(Select("SELECT Id, Name FROM Food ORDER BY Id"),
            (Rows{{Variant(1), Variant("apple")}, {Variant(2), Variant("bread")}, {Variant(3), Variant("butter")},
                  {Variant(4), Variant("cheese")}}));
  database_->Execute("UPDATE Food SET Kcal = Kcal * 2, Fat = Fat + 1 WHERE Kcal < 500");
  EXPECT_EQ(database_->RecordsAffected(), 2);
  EXPECT_EQ(Select("SELECT Kcal, Fat FROM Food WHERE Name = 'apple'"), (Rows{{Variant(104), Variant(1.4)}}));
  database_->Execute("DELETE FROM Food WHERE Kcal IS NULL OR Name LIKE 'bu*'");
  EXPECT_EQ(database_->RecordsAffected(), 2);
  database_->Execute("INSERT INTO Food (Name, Kcal) SELECT Name & ' pie', Kcal + 100 FROM Food WHERE Kcal > 100");
  EXPECT_EQ(database_->RecordsAffected(), 2);
  EXPECT_EQ(Select("SELECT Name, Kcal FROM Food ORDER BY Name"),
            (Rows{{Variant("apple"), Variant(104)}, {Variant("apple pie"), Variant(204)},
                  {Variant("bread"), Variant(490)}, {Variant("bread pie"), Variant(590)}}));
  database_->Execute("DELETE * FROM Food WHERE Kcal > 1000");
  EXPECT_EQ(database_->RecordsAffected(), 0);
  CloseAndCheck();
  if (!jet::testing::HaveMdbTools()) GTEST_SKIP() << "mdbtools missing";
  const std::optional<std::string> exported = jet::testing::MdbExport(Path("actions.mdb"), "Food");
  ASSERT_TRUE(exported);
  EXPECT_NE(exported->find("\"apple pie\",204"), std::string::npos) << *exported;
  EXPECT_EQ(exported->find("butter"), std::string::npos) << *exported;
}

TEST_F(ActionQueryTest, FailOnErrorChangesAllRowsOrNoneWithoutItFailingRowsAreLeftOut) {
  // Every name gets the same text: only the first row can keep it unique.
  EXPECT_EQ(ErrorOf([&] { database_->Execute("UPDATE Food SET Name = 'same' WHERE Kcal > 100", dbFailOnError); }), 3022);
  EXPECT_EQ(Select("SELECT Count(*) FROM Food WHERE Name = 'same'"), (Rows{{Variant(0)}}));
  database_->Execute("UPDATE Food SET Name = 'same' WHERE Kcal > 100");
  EXPECT_EQ(database_->RecordsAffected(), 1);
  EXPECT_EQ(Select("SELECT Count(*) FROM Food WHERE Name = 'same'"), (Rows{{Variant(1)}}));
  // A Null for a required field, and a text too long for its field.
  EXPECT_EQ(ErrorOf([&] {
              database_->Execute("INSERT INTO Food (Name, Kcal) SELECT IIf(Kcal > 100, Null, Name & '2'), 1 FROM Food",
                                 dbFailOnError);
            }),
            3314);
  EXPECT_EQ(Select("SELECT Count(*) FROM Food"), (Rows{{Variant(4)}}));
  database_->Execute("INSERT INTO Food (Name, Kcal) SELECT IIf(Kcal > 100, Null, Name & '2'), 1 FROM Food");
  EXPECT_EQ(database_->RecordsAffected(), 2);
  EXPECT_EQ(ErrorOf([&] { database_->Execute("INSERT INTO Food (Name) VALUES ('" + std::string(60, 'x') + "')", dbFailOnError); }),
            3163);
  EXPECT_EQ(Select("SELECT Count(*) FROM Food"), (Rows{{Variant(6)}}));
  CloseAndCheck();
}

TEST_F(ActionQueryTest, SelectIntoMakesATableOfTheQuerysColumns) {
  database_->Execute("SELECT Name AS Food, Kcal * 1.5 AS More, Fat > 1 AS Fatty INTO Rich FROM Food WHERE Fat > 0.5");
  EXPECT_EQ(database_->RecordsAffected(), 3);
  const auto rich = database_->TableDefs().Item("Rich");
  EXPECT_EQ(rich->Fields().Item("Food")->Type(), dbText);
  EXPECT_EQ(rich->Fields().Item("Food")->Size(), 50);
  EXPECT_EQ(rich->Fields().Item("More")->Type(), dbDouble);
  EXPECT_EQ(rich->Fields().Item("Fatty")->Type(), dbBoolean);
  EXPECT_EQ(Select("SELECT * FROM Rich ORDER BY Food"),
            (Rows{{Variant("bread"), Variant(367.5), Variant(true)},
                  {Variant("butter"), Variant(1111.5), Variant(true)},
                  {Variant("cheese"), Variant::Null(), Variant(true)}}));
  EXPECT_EQ(ErrorOf([&] { database_->Execute("SELECT * INTO Rich FROM Food"); }), 3010);
  CloseAndCheck();
}

TEST_F(ActionQueryTest, DataDefinitionMakesAndDropsTablesAndIndexes) {
  database_->Execute("CREATE TABLE Meal (Day DATETIME NOT NULL, Food LONG, Amount SINGLE, Note MEMO, "
                     "CONSTRAINT ByDay PRIMARY KEY (Day DESC, Food))");
  const auto meal = database_->TableDefs().Item("Meal");
  EXPECT_TRUE(meal->Indexes().Item("ByDay")->Primary());
  EXPECT_EQ(meal->Indexes().Item("ByDay")->Fields().Item(0)->Attributes() & dbDescending, dbDescending);
  EXPECT_TRUE(meal->Fields().Item("Day")->Required());
  database_->Execute("CREATE UNIQUE INDEX ByFood ON Meal (Food, Amount DESC) WITH IGNORE NULL");
  EXPECT_TRUE(meal->Indexes().Item("ByFood")->Unique());
  EXPECT_TRUE(meal->Indexes().Item("ByFood")->IgnoreNulls());
  database_->Execute("INSERT INTO Meal VALUES (#2024-01-31 12:00#, 1, 150, 'lunch')");
  EXPECT_EQ(ErrorOf([&] { database_->Execute("INSERT INTO Meal VALUES (#1/31/2024 12:00#, 1, 100, Null)", dbFailOnError); }),
            3022);
  database_->Execute("DROP INDEX ByFood ON Meal");
  EXPECT_FALSE(meal->Indexes().Contains("ByFood"));
  database_->Execute("ALTER TABLE Meal ADD CONSTRAINT ByAmount UNIQUE (Amount)");
  EXPECT_TRUE(meal->Indexes().Item("ByAmount")->Unique());
  database_->Execute("ALTER TABLE Meal DROP CONSTRAINT ByAmount");
  EXPECT_EQ(ErrorOf([&] { database_->Execute("CREATE TABLE Meal (X LONG)"); }), 3010);
  EXPECT_EQ(ErrorOf([&] { database_->Execute("DROP INDEX Nothing ON Meal"); }), 3371);
  EXPECT_EQ(ErrorOf([&] { database_->Execute("CREATE TABLE Bad (X NOTATYPE)"); }), 3292);
  EXPECT_EQ(ErrorOf([&] { database_->Execute("CREATE INDEX X ON Nothing (A)"); }), 3371);
  CloseAndCheck();
}

TEST_F(ActionQueryTest, StatementsThatCannotRunRaiseAndChangeNothing) {
  EXPECT_EQ(ErrorOf([&] { database_->Execute("SELECT * FROM Food"); }), 3065);
  EXPECT_EQ(ErrorOf([&] { database_->Execute("UPDATE Food SET Kcal = [New value]"); }), 3061);
  EXPECT_EQ(ErrorOf([&] { database_->Execute("UPDATE Food SET Calories = 1"); }), 3061);
  EXPECT_EQ(ErrorOf([&] { database_->Execute("INSERT INTO Food (Name, Nothing) VALUES ('a', 1)"); }), 3127);
  EXPECT_EQ(ErrorOf([&] { database_->Execute("INSERT INTO Food (Name) VALUES ('a', 1)"); }), 3346);
  EXPECT_EQ(ErrorOf([&] { database_->Execute("DELETE FROM Nothing"); }), 3078);
  EXPECT_EQ(ErrorOf([&] { database_->Execute("UPDATE Food SET Kcal = Kcal / 0", dbFailOnError); }), 11);
  EXPECT_EQ(ErrorOf([&] { database_->Execute("UPDATE Food SET Kcal = Sum(Kcal)"); }), 3073);
  EXPECT_EQ(ErrorOf([&] { database_->Execute("INSERT INTO Food (Name) VALUES ('a'"); }), 3134);
  EXPECT_EQ(ErrorOf([&] { database_->Execute("FROB Food"); }), 3129);
  EXPECT_EQ(Select("SELECT Name, Kcal FROM Food ORDER BY Id"),
            (Rows{{Variant("apple"), Variant(52)}, {Variant("bread"), Variant(245)}, {Variant("butter"), Variant(741)},
                  {Variant("cheese"), Variant::Null()}}));
}

}  // namespace
}  // namespace dao
