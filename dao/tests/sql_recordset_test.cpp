// Recordsets opened on SQL text: the rows and fields a SELECT over one
// table gives (order, projection, Null rules), dynasets that change the
// table they read, snapshots that refuse changes, and DAO's errors for SQL
// that cannot run.

#include <gtest/gtest.h>

#include "dao/constants.h"
#include "dao/db_engine.h"
#include "dao/tests/dao_error_of.h"
#include "dao/tests/fixture_support.h"
#include "dao/tests/write_support.h"

namespace dao {
namespace {

using platform::Variant;

std::vector<std::string> Column(Recordset& recordset, const std::string& field) {
  std::vector<std::string> values;
  for (; !recordset.AtEOF(); recordset.MoveNext()) {
    const Variant value = recordset.Fields().Item(field)->Value();
    values.push_back(value.IsNull() ? "<null>" : value.ToText());
  }
  return values;
}

TEST(SqlFixtureTest, TheConvertersQueryFiltersAndOrdersInTheDatabasesSortOrder) {
  if (testing::FixturesDir().empty()) GTEST_SKIP() << "fixture folder is absent";
  const auto engine = DBEngine::Create("DAO.DBEngine.36");
  const auto database = engine->CreateWorkspace("test", "Admin", "")
                            ->OpenDatabase((testing::FixturesDir() / "nutaro/nuta4-basic.mdb").string(), false, true);
  const auto all = database->OpenRecordset("Select * from nuta");
  EXPECT_EQ(all->Type(), dbOpenDynaset);
  EXPECT_EQ(all->Fields().Count(), 8);
  EXPECT_EQ(Column(*all, "Nahrungsmittel").size(), 28u);

  const auto rich = database->OpenRecordset("SELECT * FROM nuta WHERE Kcal > 100 ORDER BY Nahrungsmittel", dbOpenSnapshot);
  // Umlauts sort with their base letters, ß as ss, case does not count.
  EXPECT_EQ(Column(*rich, "Nahrungsmittel"),
            (std::vector<std::string>{"Brötchen (Semmel)", "Butter", "Forelle, gedünstet", "Gouda, 45 % Fett i. Tr.",
                                      "Haferflocken", "Hähnchenbrustfilet, gegart", "Leberkäse",
                                      "Lebkuchen, Nürnberger Art", "Müsliriegel mit Schokolade", "Nußnougatcreme",
                                      "Olivenöl", "Räucherlachs", "Schweineschnitzel, paniert", "Spätzle, gekocht",
                                      "Vollkornbrot", "Walnüsse", "Weißbrot"}));
}

class SqlRecordsetTest : public testing::WritingTest {
 protected:
  void SetUp() override {
    WritingTest::SetUp();
    database_ = NewDatabase("sql.mdb");
    auto table = database_->CreateTableDef("Food");
    testing::AppendField(*table, "Id", dbLong, 0, dbAutoIncrField);
    testing::AppendField(*table, "Name", dbText, 50);
    testing::AppendField(*table, "Kcal", dbLong);
    testing::AppendField(*table, "Fat", dbDouble);
    testing::AppendField(*table, "Group", dbText, 20);
    testing::AppendIndex(*table, "PrimaryKey", {"Id"}, true);
    database_->TableDefs().Append(table);
    const auto rows = database_->OpenRecordset("Food", dbOpenTable);
    const auto add = [&](const char* name, Variant kcal, Variant fat, Variant group) {
      testing::AddRow(*rows, {{"Name", Variant(name)}, {"Kcal", kcal}, {"Fat", fat}, {"Group", group}});
    };
    add("apple", Variant(52), Variant(0.4), Variant("Fruit"));
    add("Bread", Variant(245), Variant(1.2), Variant("Bakery"));
    add("butter", Variant(741), Variant(83.2), Variant::Null());
    add("Cheese", Variant::Null(), Variant(29.2), Variant("Dairy"));
    add("banana", Variant(93), Variant::Null(), Variant("Fruit"));
  }

  std::vector<std::string> Names(const std::string& sql, int type = dbOpenDynaset) {
    const auto recordset = database_->OpenRecordset(sql, type);
    return Column(*recordset, "Name");
  }

  std::shared_ptr<Database> database_;
};

TEST_F(SqlRecordsetTest, ConditionsFollowAccessRulesForNullTextAndPatterns) {
  using Names_ = std::vector<std::string>;
  // A comparison with Null is never true, in either direction.
  EXPECT_EQ(Names("SELECT Name FROM Food WHERE Kcal <> 52"), (Names_{"Bread", "butter", "banana"}));
  EXPECT_EQ(Names("SELECT Name FROM Food WHERE NOT (Kcal > 100)"), (Names_{"apple", "banana"}));
  EXPECT_EQ(Names("SELECT Name FROM Food WHERE Kcal IS NULL OR Fat IS NULL"), (Names_{"Cheese", "banana"}));
  // Text compares without regard to case; LIKE has Access's wildcards.
  EXPECT_EQ(Names("SELECT Name FROM Food WHERE Name = 'BREAD'"), (Names_{"Bread"}));
  EXPECT_EQ(Names("SELECT Name FROM Food WHERE Name LIKE 'b*'"), (Names_{"Bread", "butter", "banana"}));
  EXPECT_EQ(Names("SELECT Name FROM Food WHERE Name LIKE '[a-b]?n???'"), (Names_{"banana"}));
  EXPECT_EQ(Names("SELECT Name FROM Food WHERE Name NOT LIKE '*e*'"), (Names_{"banana"}));
  EXPECT_EQ(Names("SELECT Name FROM Food WHERE [Group] IN ('fruit', 'dairy')"), (Names_{"apple", "Cheese", "banana"}));
  EXPECT_EQ(Names("SELECT Name FROM Food WHERE Kcal BETWEEN 52 AND 93"), (Names_{"apple", "banana"}));
  EXPECT_EQ(Names("SELECT Name FROM Food WHERE Food.Kcal * 2 >= 490 AND Len(Name) = 5"), (Names_{"Bread"}));
}

TEST_F(SqlRecordsetTest, OrderByPutsNullFirstAscendingAndLastDescending) {
  using Names_ = std::vector<std::string>;
  EXPECT_EQ(Names("SELECT * FROM Food ORDER BY Kcal"), (Names_{"Cheese", "apple", "banana", "Bread", "butter"}));
  EXPECT_EQ(Names("SELECT * FROM Food ORDER BY Kcal DESC"), (Names_{"butter", "Bread", "banana", "apple", "Cheese"}));
  EXPECT_EQ(Names("SELECT * FROM Food ORDER BY [Group] DESC, Name"), (Names_{"apple", "banana", "Cheese", "Bread", "butter"}));
  EXPECT_EQ(Names("SELECT * FROM Food ORDER BY Name", dbOpenSnapshot), (Names_{"apple", "banana", "Bread", "butter", "Cheese"}));
}

TEST_F(SqlRecordsetTest, FieldsAreNamedAndTypedAsDaoShowsThem) {
  const auto recordset = database_->OpenRecordset(
      "SELECT Name AS Food, Kcal, Kcal * 4.184 AS Kj, Name & '!', Len(Name) FROM Food WHERE Id = 2");
  const FieldCollection& fields = recordset->Fields();
  ASSERT_EQ(fields.Count(), 5);
  EXPECT_EQ(fields.Item(0)->Name(), "Food");
  EXPECT_EQ(fields.Item(0)->Type(), dbText);
  EXPECT_EQ(fields.Item(0)->Size(), 50);
  EXPECT_EQ(fields.Item(0)->Properties().Item("SourceField")->Value(), Variant("Name"));
  EXPECT_EQ(fields.Item(1)->Name(), "Kcal");
  EXPECT_EQ(fields.Item(1)->Type(), dbLong);
  EXPECT_EQ(fields.Item(2)->Type(), dbDouble);
  EXPECT_DOUBLE_EQ(fields.Item(2)->Value().ToDouble(), 245 * 4.184);
  EXPECT_EQ(fields.Item(3)->Name(), "Expr1000");
  EXPECT_EQ(fields.Item(3)->Value(), Variant("Bread!"));
  EXPECT_EQ(fields.Item(4)->Name(), "Expr1001");
  EXPECT_EQ(fields.Item(4)->Value(), Variant(5));
}

TEST_F(SqlRecordsetTest, ADynasetOnOneTableChangesItsRows) {
  const auto recordset = database_->OpenRecordset("SELECT Name, Kcal, Kcal + 1 AS Next FROM Food WHERE Kcal > 90 ORDER BY Kcal");
  EXPECT_TRUE(recordset->Updatable());
  EXPECT_EQ(recordset->Fields().Item("Name")->Value(), Variant("banana"));
  recordset->Edit();
  recordset->Fields().Item("Kcal")->SetValue(Variant(89));
  EXPECT_EQ(ErrorOf([&] { recordset->Fields().Item("Next")->SetValue(Variant(1)); }), 3164);
  recordset->Update();
  // The row stays in the set although it no longer matches, as in DAO.
  EXPECT_EQ(recordset->Fields().Item("Next")->Value(), Variant(90));
  recordset->AddNew();
  recordset->Fields().Item("Name")->SetValue(Variant("cake"));
  recordset->Fields().Item("Kcal")->SetValue(Variant(10));
  recordset->Update();
  recordset->MoveLast();
  EXPECT_EQ(recordset->Fields().Item("Name")->Value(), Variant("cake"));
  recordset->MoveFirst();
  recordset->MoveNext();
  recordset->Delete();
  EXPECT_EQ(Names("SELECT Name FROM Food ORDER BY Name"),
            (std::vector<std::string>{"apple", "banana", "butter", "cake", "Cheese"}));
  EXPECT_EQ(Names("SELECT Name FROM Food WHERE Kcal = 89"), (std::vector<std::string>{"banana"}));
}

TEST_F(SqlRecordsetTest, SnapshotsAndComputedSetsRefuseChanges) {
  const auto snapshot = database_->OpenRecordset("SELECT * FROM Food", dbOpenSnapshot);
  EXPECT_FALSE(snapshot->Updatable());
  EXPECT_EQ(ErrorOf([&] { snapshot->Edit(); }), 3027);
  const auto grouped = database_->OpenRecordset("SELECT DISTINCT [Group] FROM Food");
  EXPECT_FALSE(grouped->Updatable());
  EXPECT_EQ(ErrorOf([&] { grouped->AddNew(); }), 3027);
}

TEST_F(SqlRecordsetTest, CDateReadsTheIsoFormWhateverTheSettings) {
  const auto dates = database_->OpenRecordset(
      "SELECT CDate('2024-01-31'), CDate('2024-01-31 10:30') FROM Food WHERE Id = 1",
      dbOpenSnapshot);
  EXPECT_EQ(ErrorOf([&] { database_->OpenRecordset("SELECT CDate(Name) FROM Food")->Fields().Item(0)->Value(); }),
            3464);
  EXPECT_EQ(dates->Fields().Item(0)->Value(), Variant::FromDate(platform::EncodeDate(2024, 1, 31)));
  EXPECT_DOUBLE_EQ(dates->Fields().Item(1)->Value().ToDouble(), platform::EncodeDate(2024, 1, 31) + 10.5 / 24);
}

TEST_F(SqlRecordsetTest, BadSqlRaisesDaosErrors) {
  const auto open = [&](const std::string& sql, int type = 0) {
    return ErrorOf([&] { database_->OpenRecordset(sql, type); });
  };
  EXPECT_EQ(open("SELECT Name FROM Food WHERE Kcal >"), 3075);
  EXPECT_EQ(open("SELECT Name FROM Food WHERE (Kcal > 1"), 3075);
  EXPECT_EQ(open("SELECT Name FROM Food WHERE Name = 'open"), 3075);
  EXPECT_EQ(open("SELECT Name FROM"), 3131);
  EXPECT_EQ(open("SELECT Name FROM Nothing"), 3078);
  EXPECT_EQ(open("SELECT Nothing FROM Food"), 3061);
  EXPECT_EQ(open("SELECT * FROM Food WHERE Name = 5"), 3464);
  EXPECT_EQ(open("SELECT Name FROM Food ORDER BY"), 3138);
  EXPECT_EQ(open("SELECT Name FROM Food x y"), 3075);
  EXPECT_EQ(open("SELECT * FROM Food", dbOpenTable), 3219);
  EXPECT_EQ(open("SELECT Nope(Name) FROM Food"), 3085);
  EXPECT_EQ(open("SELECT Count(*) FROM Food WHERE Count(*) > 1"), 3096);
  EXPECT_EQ(open("SELECT Name, Count(*) FROM Food"), 3122);
  EXPECT_EQ(open("SELECT * FROM Food WHERE " + std::string(500, '(') + "1" + std::string(500, ')')), 3360);
  // The file is untouched by every failure.
  EXPECT_EQ(testing::ReadTable(*database_, "Food").size(), 5u);
}

}  // namespace
}  // namespace dao
