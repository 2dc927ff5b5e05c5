// Moving, counting and numbering rows of a TAccessTable, row marks, and a
// randomised model test: random sequences of moves, appends, edits,
// cancels, deletes and row-mark jumps checked against a plain list after
// every step.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <random>

#include "access/access_table.h"
#include "access/tests/access_test_support.h"
#include "dao/constants.h"
#include "recordset/data_source.h"

namespace accessdb {
namespace {

using namespace recordset;
using testing::ErrorOf;

class NavigationTest : public testing::AccessTest {
 protected:
  // A database with table "Liste" (Name text, Zahl long) holding `rows` rows.
  std::unique_ptr<TAccessDatabase> ListDatabase(int rows) {
    auto database = Connect(CopyFixture("nutaro/nuta4-empty.mdb"));
    database->CreateTable("Liste", {"Name", "Zahl"}, {dao::dbText, dao::dbLong}, {20, 0}, {0, 0}, {0, 0});
    auto recordset = database->DatabaseObject()->OpenRecordset("Liste", dao::dbOpenDynaset);
    for (int i = 1; i <= rows; ++i) {
      recordset->AddNew();
      recordset->Fields().Item(0)->SetValue(platform::Variant("r" + std::to_string(i)));
      recordset->Fields().Item(1)->SetValue(platform::Variant(std::int32_t{i * 10}));
      recordset->Update();
    }
    recordset->Close();
    return database;
  }
};

TEST_F(NavigationTest, AnEmptyTableHasNoRowsAndNoRowNumber) {
  auto database = ListDatabase(0);
  for (const int type : {kTableTypeDynaset, kTableTypeTable, kTableTypeSnapshot}) {
    TAccessTable table;
    table.SetDatabase(database.get());
    table.SetTableName("Liste");
    table.SetTableType(type);
    table.SetActive(true);
    EXPECT_EQ(table.RowCount(), 0) << type;
    table.GoFirst();
    EXPECT_TRUE(table.AtEnd()) << type;
    EXPECT_TRUE(table.AtStart()) << type;
    EXPECT_EQ(table.RowNumber(), -1) << type;
    EXPECT_TRUE(table.FieldNamed("Name").VariantValue().IsNull()) << type;
  }
}

TEST_F(NavigationTest, RowNumbersFollowTheCursorForEveryRecordsetType) {
  auto database = ListDatabase(3);
  for (const int type : {kTableTypeDynaset, kTableTypeTable, kTableTypeSnapshot, kTableTypeForwardOnly}) {
    SCOPED_TRACE(type);
    TAccessTable table;
    table.SetDatabase(database.get());
    table.SetTableName("Liste");
    table.SetTableType(type);
    table.SetActive(true);
    EXPECT_EQ(table.RowCount(), type == kTableTypeForwardOnly ? -1 : 3);
    table.GoFirst();
    EXPECT_EQ(table.RowNumber(), 1);
    table.GoNext();
    table.GoNext();
    EXPECT_EQ(table.RowNumber(), 3);
    EXPECT_EQ(table.FieldNamed("Name").TextValue(), "r3");
    EXPECT_FALSE(table.AtEnd());
    table.GoNext();
    EXPECT_TRUE(table.AtEnd());
    EXPECT_EQ(table.RowNumber(), 3);
    EXPECT_EQ(table.FieldNamed("Name").TextValue(), "r3");
    if (type == kTableTypeForwardOnly) continue;
    table.GoPrior();
    EXPECT_EQ(table.RowNumber(), 2);
    table.GoLast();
    EXPECT_EQ(table.RowNumber(), 3);
    table.GoToRowNumber(2);
    EXPECT_EQ(table.FieldNamed("Zahl").TextValue(), "20");
    EXPECT_EQ(table.RowNumber(), 2);
  }
}

TEST_F(NavigationTest, TableTypeRecordsetsFindTheirPositionAfterPosting) {
  auto database = ListDatabase(40);
  TAccessTable table;
  table.SetDatabase(database.get());
  table.SetTableName("Liste");
  table.SetTableType(kTableTypeTable);
  table.SetActive(true);
  table.GoFirst();
  table.MoveBy(19);
  table.EditRow();
  table.FieldNamed("Zahl").SetTextValue("5");
  table.PostRow();
  EXPECT_EQ(table.RowNumber(), 20);
  table.GoNext();
  table.GoNext();
  EXPECT_EQ(table.RowNumber(), 22);
  table.AppendRow();
  table.FieldNamed("Name").SetTextValue("neu");
  table.PostRow();
  EXPECT_EQ(table.RowCount(), 41);
  EXPECT_EQ(table.RowNumber(), 41);
  table.GoToRowNumber(3);
  EXPECT_EQ(table.RowNumber(), 3);
}

TEST_F(NavigationTest, RowNumbersCanBeSwitchedOff) {
  auto database = ListDatabase(3);
  auto table = OpenTable(*database, "Liste");
  table->SetUseGetRecNo(false);
  table->GoFirst();
  table->GoNext();
  EXPECT_EQ(table->RowNumber(), -1);
}

TEST_F(NavigationTest, RowMarksLeadBackToTheirRows) {
  auto database = ListDatabase(12);
  auto table = OpenTable(*database, "Liste");
  table->GoFirst();
  table->MoveBy(6);
  const RowMark seventh = table->GetRowMarkText();
  ASSERT_EQ(seventh.size(), kRowMarkSize);
  table->GoFirst();
  const RowMark first = table->GetRowMarkText();
  EXPECT_LT(table->CompareRowMarks(first, seventh), 0);
  EXPECT_GT(table->CompareRowMarks(seventh, first), 0);
  EXPECT_EQ(table->CompareRowMarks(seventh, seventh), 0);
  EXPECT_EQ(table->CompareRowMarks(seventh, RowMark()), -1);
  EXPECT_EQ(table->CompareRowMarks(RowMark(), seventh), 1);
  EXPECT_EQ(table->CompareRowMarks(RowMark(), RowMark()), 0);
  EXPECT_TRUE(table->RowMarkValid(seventh));
  EXPECT_EQ(table->FieldNamed("Name").TextValue(), "r1");  // asking does not move
  table->GoNext();
  EXPECT_EQ(table->FieldNamed("Name").TextValue(), "r2");
  table->SetRowMarkText(seventh);
  EXPECT_EQ(table->FieldNamed("Name").TextValue(), "r7");
  EXPECT_EQ(table->RowNumber(), 7);
  table->GoNext();
  EXPECT_EQ(table->FieldNamed("Name").TextValue(), "r8");

  // A mark never read from a row is refused.
  const RowMark foreign("\x01\x02\x03\x04", 4);
  EXPECT_FALSE(table->RowMarkValid(foreign));
  EXPECT_EQ(ErrorOf([&] { table->SetRowMarkText(foreign); }), "AccessTable1: Invalid Bookmark!");
  EXPECT_EQ(ErrorOf([&] { table->SetRowMarkText(RowMark(4, '\0')); }), "AccessTable1: Bookmarks are not supported!");
  table->SetActive(false);
  EXPECT_EQ(table->GetRowMarkText(), RowMark());
  EXPECT_FALSE(table->RowMarkValid(seventh));
}

TEST_F(NavigationTest, ATableTypeCountIsCheckedByWalkingTheRows) {
  // The file says 30 rows where 28 are: the table's own count is damaged.
  const std::string path = CopyFixture("nutaro/nuta4-basic.mdb");
  std::uint32_t tdefPage = 0;
  {
    auto database = Connect(path);
    tdefPage = database->DatabaseObject()->TableDefs().Item("nuta")->Source()->Id();
  }
  {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(tdefPage) * 4096 + 0x10);
    const char thirty[4] = {30, 0, 0, 0};
    file.write(thirty, 4);
  }
  auto database = Connect(path);
  TAccessTable table;
  table.SetDatabase(database.get());
  table.SetTableName("nuta");
  table.SetTableType(kTableTypeTable);
  table.SetActive(true);
  EXPECT_EQ(table.RowCount(), 28);
  table.GoLast();
  EXPECT_EQ(table.RowNumber(), 28);
  table.SetActive(false);
  table.SetWarnOnBadDatabase(true);
  table.SetActive(true);
  const std::string message = table.Name() + ": Database " + path + " needs to be repaired and compacted!";
  EXPECT_EQ(ErrorOf([&] { table.RowCount(); }), message);
  EXPECT_EQ(ErrorOf([&] { table.RowCount(); }), message);  // not taken as counted
}

// --- The randomised model test ----------------------------------------------------

struct ModelRow {
  int id;
  std::optional<int> zahl;
};

class RandomSession {
 public:
  RandomSession(TAccessTable& table, unsigned seed, int initialRows) : table_(table), random_(seed) {
    for (int i = 1; i <= initialRows; ++i) rows_.push_back({i, i * 10});
    nextId_ = initialRows + 1;
    table_.GoFirst();
    current_ = rows_.empty() ? -1 : 0;
  }

  void Step(int step) {
    const int choice = Pick(14);
    std::string what;
    switch (choice) {
      case 0:
        what = "GoFirst";
        table_.GoFirst();
        current_ = rows_.empty() ? -1 : 0;
        break;
      case 1:
        what = "GoLast";
        table_.GoLast();
        current_ = static_cast<int>(rows_.size()) - 1;
        break;
      case 2:
      case 3:
        what = "GoNext";
        table_.GoNext();
        if (current_ + 1 < static_cast<int>(rows_.size())) ++current_;
        break;
      case 4:
        what = "GoPrior";
        table_.GoPrior();
        if (current_ > 0) --current_;
        break;
      case 5:
      case 6: {
        what = "AppendRow, PostRow";
        const ModelRow row{nextId_++, Pick(3) == 0 ? std::nullopt : std::optional<int>(Pick(1000) - 500)};
        table_.AppendRow();
        table_.FieldNamed("Name").SetTextValue("r" + std::to_string(row.id));
        table_.FieldNamed("Zahl").SetTextValue(row.zahl ? std::to_string(*row.zahl) : "");
        table_.PostRow();
        rows_.push_back(row);
        current_ = static_cast<int>(rows_.size()) - 1;
        break;
      }
      case 7:
        what = "AppendRow, CancelRow";
        table_.AppendRow();
        table_.FieldNamed("Zahl").SetTextValue("1");
        table_.CancelRow();
        current_ = static_cast<int>(rows_.size()) - 1;
        break;
      case 8:
      case 9: {
        if (rows_.empty()) return;
        what = "EditRow, PostRow";
        const int zahl = Pick(1000);
        table_.EditRow();
        table_.FieldNamed("Zahl").SetTextValue(std::to_string(zahl));
        table_.PostRow();
        rows_[static_cast<std::size_t>(current_)].zahl = zahl;
        break;
      }
      case 10:
        if (rows_.empty()) return;
        what = "EditRow, CancelRow";
        table_.EditRow();
        table_.FieldNamed("Zahl").SetTextValue("77777");
        table_.CancelRow();
        break;
      case 11:
        if (rows_.empty()) return;
        what = "DeleteRow";
        table_.DeleteRow();
        rows_.erase(rows_.begin() + current_);
        if (current_ >= static_cast<int>(rows_.size())) current_ = static_cast<int>(rows_.size()) - 1;
        break;
      case 12:
        if (rows_.empty()) return;
        what = "GetRowMarkText";
        mark_ = table_.GetRowMarkText();
        markedId_ = rows_[static_cast<std::size_t>(current_)].id;
        break;
      case 13: {
        const auto marked = std::find_if(rows_.begin(), rows_.end(), [&](const ModelRow& r) { return r.id == markedId_; });
        if (mark_.empty() || marked == rows_.end()) return;
        what = "SetRowMarkText";
        table_.SetRowMarkText(mark_);
        current_ = static_cast<int>(marked - rows_.begin());
        break;
      }
    }
    Check("step " + std::to_string(step) + ": " + what);
  }

 private:
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

  void Check(const std::string& context) {
    SCOPED_TRACE(context);
    ASSERT_EQ(table_.RowCount(), static_cast<int>(rows_.size()));
    if (rows_.empty()) {
      EXPECT_TRUE(table_.IsEmpty());
      EXPECT_EQ(table_.RowNumber(), -1);
      return;
    }
    const ModelRow& row = rows_[static_cast<std::size_t>(current_)];
    ASSERT_EQ(table_.FieldNamed("Name").TextValue(), "r" + std::to_string(row.id));
    EXPECT_EQ(table_.FieldNamed("Zahl").TextValue(), row.zahl ? std::to_string(*row.zahl) : "");
    EXPECT_EQ(table_.RowNumber(), current_ + 1);
  }

  TAccessTable& table_;
  std::mt19937 random_;
  std::vector<ModelRow> rows_;
  int nextId_ = 1;
  int current_ = -1;
  RowMark mark_;
  int markedId_ = 0;
};

int RandomRuns() {
  const char* runs = std::getenv("NUTARO_ACCESS_RANDOM_RUNS");
  return runs != nullptr ? std::max(1, std::atoi(runs)) : 12;
}

// A grid's link: it shows several rows, so the table keeps a ring of them.
class GridLink : public TDataLink {};

struct RandomCase {
  int tableType;
  int visibleRows;
};

class RandomNavigationTest : public NavigationTest, public ::testing::WithParamInterface<RandomCase> {};

TEST_P(RandomNavigationTest, RandomOperationsAgreeWithAPlainList) {
  for (int run = 0; run < RandomRuns(); ++run) {
    const unsigned seed = 1000 + static_cast<unsigned>(run);
    SCOPED_TRACE("seed " + std::to_string(seed));
    const int initialRows = static_cast<int>(seed % 5);
    auto database = ListDatabase(initialRows);
    TAccessTable table("Zufall");
    table.SetDatabase(database.get());
    table.SetTableName("Liste");
    table.SetTableType(GetParam().tableType);
    TDataSource source;
    source.SetDataSet(&table);
    GridLink grid;
    grid.SetDataSource(&source);
    grid.SetBufferCount(GetParam().visibleRows);
    table.SetActive(true);
    RandomSession session(table, seed, initialRows);
    for (int step = 0; step < 150 && !::testing::Test::HasFatalFailure(); ++step) session.Step(step);
    if (::testing::Test::HasFailure()) return;
  }
}

INSTANTIATE_TEST_SUITE_P(RecordsetTypesAndRings, RandomNavigationTest,
                         ::testing::Values(RandomCase{kTableTypeDynaset, 1}, RandomCase{kTableTypeDynaset, 5},
                                           RandomCase{kTableTypeTable, 1}, RandomCase{kTableTypeTable, 5}),
                         [](const auto& info) {
                           return std::string(info.param.tableType == kTableTypeTable ? "Table" : "Dynaset") +
                                  std::to_string(info.param.visibleRows) + "Rows";
                         });

}  // namespace
}  // namespace accessdb
