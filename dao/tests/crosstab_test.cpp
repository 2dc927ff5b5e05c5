// Crosstab queries opened as recordsets: the grid of row headings and one
// column per pivot value, checked against grids worked out by hand from a
// small table with Nulls, mixed case and numbers that sort differently as
// text; and the stored crosstab of the Access fixtures.

#include <gtest/gtest.h>

#include "dao/constants.h"
#include "dao/db_engine.h"
#include "dao/tests/fixture_support.h"
#include "dao/tests/write_support.h"

namespace dao {
namespace {

using platform::Variant;
using Grid = std::vector<std::vector<std::string>>;

// The field names, then every row; Null shows as "-".
Grid GridOf(Recordset& recordset) {
  Grid grid(1);
  const FieldCollection& fields = recordset.Fields();
  for (int f = 0; f < fields.Count(); ++f) grid[0].push_back(fields.Item(f)->Name());
  for (; !recordset.AtEOF(); recordset.MoveNext()) {
    std::vector<std::string>& row = grid.emplace_back();
    for (int f = 0; f < fields.Count(); ++f) {
      const Variant value = recordset.Fields().Item(f)->Value();
      row.push_back(value.IsNull() ? "-" : value.ToText());
    }
  }
  return grid;
}

class CrosstabTest : public testing::WritingTest {
 protected:
  void SetUp() override {
    WritingTest::SetUp();
    database_ = NewDatabase("crosstab.mdb");
    auto table = database_->CreateTableDef("Sales");
    testing::AppendField(*table, "Region", dbText, 20);
    testing::AppendField(*table, "Item", dbText, 20);
    testing::AppendField(*table, "Qty", dbLong);
    testing::AppendField(*table, "Yr", dbLong);
    database_->TableDefs().Append(table);
    const auto rows = database_->OpenRecordset("Sales", dbOpenTable);
    const auto add = [&](Variant region, Variant item, Variant qty, Variant year) {
      testing::AddRow(*rows, {{"Region", region}, {"Item", item}, {"Qty", qty}, {"Yr", year}});
    };
    add(Variant("North"), Variant("apple"), Variant(3), Variant(2020));
    add(Variant("North"), Variant("Apple"), Variant(4), Variant(2021));
    add(Variant("North"), Variant("pear"), Variant(5), Variant(2020));
    add(Variant("South"), Variant("apple"), Variant(1), Variant(2021));
    add(Variant("South"), Variant::Null(), Variant(2), Variant(2020));
    add(Variant("East"), Variant("pear"), Variant::Null(), Variant::Null());
    add(Variant::Null(), Variant("kiwi"), Variant(7), Variant(2022));
    add(Variant("East"), Variant("fig"), Variant(1), Variant(999));
  }

  Grid Run(const std::string& sql) { return GridOf(*database_->OpenRecordset(sql, dbOpenSnapshot)); }

  std::shared_ptr<Database> database_;
};

TEST_F(CrosstabTest, PivotValuesBecomeColumnsInAscendingOrderWithNullFirst) {
  // Text pivots: case does not make a new column (the first text seen
  // names it); Null is the column "<>". Row headings may aggregate over
  // the whole group; a cell without rows is Null.
  EXPECT_EQ(Run("TRANSFORM Sum(Qty) AS Total SELECT Region, Count(*) AS N FROM Sales GROUP BY Region PIVOT Item"),
            (Grid{{"Region", "N", "<>", "apple", "fig", "kiwi", "pear"},
                  {"-", "1", "-", "-", "-", "7", "-"},
                  {"East", "2", "-", "-", "1", "-", "-"},
                  {"North", "3", "-", "7", "-", "-", "5"},
                  {"South", "2", "2", "1", "-", "-", "-"}}));
  // Number pivots sort as numbers (999 before 2020), not as their texts;
  // Count is Null, not 0, where a group has no rows of a value.
  EXPECT_EQ(Run("TRANSFORM Count(*) SELECT Region FROM Sales GROUP BY Region PIVOT Yr"),
            (Grid{{"Region", "<>", "999", "2020", "2021", "2022"},
                  {"-", "-", "-", "-", "-", "1"},
                  {"East", "1", "1", "-", "-", "-"},
                  {"North", "-", "-", "2", "1", "-"},
                  {"South", "-", "-", "1", "1", "-"}}));
}

TEST_F(CrosstabTest, AnInListFixesTheColumnsAndTheirOrder) {
  // Unlisted values are left out, a listed value without rows gives an
  // empty column; ORDER BY orders the rows (Null last descending).
  EXPECT_EQ(Run("TRANSFORM Count(Qty) SELECT Region FROM Sales GROUP BY Region ORDER BY Region DESC "
                "PIVOT Yr IN (2021, 2019, 2020)"),
            (Grid{{"Region", "2021", "2019", "2020"},
                  {"South", "1", "-", "1"},
                  {"North", "1", "-", "2"},
                  {"East", "-", "-", "-"},
                  {"-", "-", "-", "-"}}));
  // Text values match whatever their case and name the columns as listed;
  // Count over rows whose values are all Null is 0.
  EXPECT_EQ(Run("TRANSFORM Count(Qty) SELECT Region FROM Sales GROUP BY Region PIVOT Item IN ('PEAR', 'apple', Null)"),
            (Grid{{"Region", "PEAR", "apple", "<>"},
                  {"-", "-", "-", "-"},
                  {"East", "0", "-", "-"},
                  {"North", "1", "2", "-"},
                  {"South", "-", "1", "1"}}));
}

TEST_F(CrosstabTest, AggregatesInWhereTestTheGroupAndTheRestTestTheRows) {
  // Qty > 1 drops East's fig before grouping; Sum(Qty) > 4 then drops
  // South (2 left) and East (nothing left). The columns come from the rows
  // that pass the row conditions.
  EXPECT_EQ(Run("TRANSFORM Max(Qty) SELECT Region FROM Sales WHERE Qty > 1 AND Sum(Qty) > 4 GROUP BY Region PIVOT Yr"),
            (Grid{{"Region", "2020", "2021", "2022"}, {"-", "-", "-", "7"}, {"North", "5", "4", "-"}}));
  // HAVING works as in any grouped query, and ORDER BY may use aggregates.
  EXPECT_EQ(Run("TRANSFORM Sum(Qty) SELECT Region FROM Sales GROUP BY Region HAVING Count(*) > 1 "
                "ORDER BY Sum(Qty) DESC PIVOT Yr IN (2020)"),
            (Grid{{"Region", "2020"}, {"North", "8"}, {"South", "2"}, {"East", "-"}}));
}

TEST_F(CrosstabTest, AStoredCrosstabOpensReadOnlyAndServesAsASource) {
  // Item <> 'kiwi' is Null, not true, for the row without an item.
  database_->CreateQueryDef("ByYear", "TRANSFORM Sum(Qty) SELECT Item FROM Sales WHERE Item <> 'kiwi' "
                                      "GROUP BY Item PIVOT Yr");
  const auto recordset = database_->QueryDefs().Item("ByYear")->OpenRecordset();
  EXPECT_FALSE(recordset->Updatable());
  EXPECT_EQ(GridOf(*recordset), (Grid{{"Item", "<>", "999", "2020", "2021"},
                                      {"apple", "-", "-", "3", "5"},
                                      {"fig", "-", "1", "-", "-"},
                                      {"pear", "-", "-", "5", "-"}}));
  // Its pivot columns are fields of a query that reads it.
  EXPECT_EQ(Run("SELECT Item, [2021] FROM ByYear WHERE [2020] > 2"), (Grid{{"Item", "2021"}, {"apple", "5"}, {"pear", "-"}}));
}

TEST_F(CrosstabTest, ColumnsOutsideTheGroupAreRefused) {
  EXPECT_EQ(ErrorOf([&] { Run("TRANSFORM Qty + Sum(Qty) SELECT Region FROM Sales GROUP BY Region PIVOT Yr"); }), 3122);
  EXPECT_EQ(ErrorOf([&] { Run("TRANSFORM Sum(Qty) SELECT Region, Item FROM Sales GROUP BY Region PIVOT Yr"); }), 3122);
}

TEST(CrosstabFixtureTest, TheStoredCrosstabOfTheAccessDatabasesOpens) {
  if (testing::FixturesDir().empty()) GTEST_SKIP() << "fixture folder is absent";
  const auto engine = DBEngine::Create("DAO.DBEngine.36");
  for (const char* file : {"access/v1997-queryTest.mdb", "access/v2000-queryTest.mdb"}) {
    SCOPED_TRACE(file);
    const auto database =
        engine->CreateWorkspace("test", "Admin", "")->OpenDatabase((testing::FixturesDir() / file).string(), false, true);
    // Its tables are empty: no groups, so the row headings alone and no
    // pivot columns (Table2 read twice names its columns without prefix
    // as no two share a name).
    const auto recordset = database->QueryDefs().Item("CrosstabQuery")->OpenRecordset();
    EXPECT_EQ(recordset->Type(), dbOpenDynaset);
    EXPECT_EQ(GridOf(*recordset), (Grid{{"col1", "col3", "AvgOfcol2"}}));
  }
}

}  // namespace
}  // namespace dao
