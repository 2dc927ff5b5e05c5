// Filters of TAccessTable: DAO conditions on every field type give the rows
// a scan of the model gives, in German and English formats; the re-open
// rules of Filter, Filtered and OnFilterRecord; a refused condition leaves
// a usable table; the row event filters, counts and numbers rows.

#include <gtest/gtest.h>

#include "access/key_conditions.h"
#include "access/tests/access_test_support.h"
#include "access/tests/search_test_support.h"
#include "dao/dao_error.h"
#include "platform/format_settings.h"

namespace accessdb {
namespace {

using namespace recordset;
using platform::Variant;
using testing::ErrorOf;
using testing::ModelMatches;
using testing::Nr;
using testing::TypedColumns;

class FilterTest : public testing::AccessTest {
 protected:
  void SetUp() override {
    AccessTest::SetUp();
    if (IsSkipped()) return;
    database_ = NewDatabase("typen.mdb");
    rows_ = testing::CreateTypedTable(*database_, 80, 14);
    table_ = OpenTable(*database_, "Typen");
  }

  // The numbers (Nr) of the rows the table shows, from the first.
  std::vector<int> Shown() {
    std::vector<int> numbers;
    for (table_->GoFirst(); !table_->AtEnd(); table_->GoNext()) numbers.push_back(Nr(*table_));
    return numbers;
  }

  // The numbers of the model rows whose column `column` (1-based after
  // Nr) passes `test`.
  std::vector<int> Scan(const std::function<bool(const std::vector<Variant>&)>& test) const {
    std::vector<int> numbers;
    for (const auto& row : rows_) {
      if (test(row)) numbers.push_back(row.front().ToInt32());
    }
    return numbers;
  }

  std::unique_ptr<TAccessDatabase> database_;
  std::vector<std::vector<Variant>> rows_;
  std::unique_ptr<TAccessTable> table_;
};

TEST_F(FilterTest, ConditionsOnEveryFieldTypeGiveTheRowsAScanGives) {
  for (const auto& settings : {platform::GermanFormatSettings(), platform::EnglishUsFormatSettings()}) {
    platform::ScopedFormatSettings scope(settings);
    table_->SetFiltered(true);
    for (std::size_t c = 0; c < TypedColumns().size(); ++c) {
      const testing::TypedColumn& column = TypedColumns()[c];
      for (const Variant& value : column.pool) {
        const KeyField field{.name = column.name, .type = column.type, .guid = column.guid};
        const std::string condition = ExactKeyCondition(field, KeyValueOf(value), true).value();
        table_->SetFilter(condition);
        const std::vector<int> expected =
            Scan([&](const std::vector<Variant>& row) { return ModelMatches(column.type, row[c + 1], value, false); });
        EXPECT_EQ(Shown(), expected) << condition << " " << settings.decimalSeparator;
        EXPECT_EQ(table_->RowCount(), static_cast<int>(expected.size())) << condition;
      }
    }
    table_->SetFiltered(false);
  }
}

TEST_F(FilterTest, ComparisonsAndPatternsFilterAsAScan) {
  table_->SetFilter("[Zahl] > 0 AND [Name] LIKE \"A*\"");
  table_->SetFiltered(true);
  EXPECT_EQ(Shown(), Scan([](const std::vector<Variant>& row) {
              return !row[3].IsNull() && row[3].ToInt32() > 0 && !row[1].IsNull() &&
                     (row[1].ToText()[0] == 'A' || row[1].ToText()[0] == 'a');
            }));
}

TEST_F(FilterTest, TheTextTakesEffectOnlyWhileFiltered) {
  table_->GoNext();
  table_->GoNext();
  table_->SetFilter("[Nr] > 50");
  // Not filtered: the table stays on its row and shows every row.
  EXPECT_EQ(Nr(*table_), 3);
  EXPECT_EQ(table_->RowCount(), 80);
  table_->SetFiltered(true);
  EXPECT_EQ(Nr(*table_), 51);
  EXPECT_EQ(table_->RowCount(), 30);
  table_->GoNext();
  table_->SetFilter("[Nr] <= 10");
  EXPECT_EQ(Nr(*table_), 1);
  EXPECT_EQ(table_->RowCount(), 10);
  table_->SetFiltered(false);
  EXPECT_EQ(table_->RowCount(), 80);
  EXPECT_EQ(table_->Filter(), "[Nr] <= 10");
}

TEST_F(FilterTest, ARefusedConditionLeavesTheTableOpenOnItsPreviousRows) {
  table_->SetFilter("[Nr] > 70");
  table_->SetFiltered(true);
  EXPECT_FALSE(ErrorOf([&] { table_->SetFilter("[Nr] >> 3"); }).empty());
  EXPECT_EQ(table_->Filter(), "[Nr] > 70");
  EXPECT_TRUE(table_->Active());
  EXPECT_EQ(Shown(), Scan([](const std::vector<Variant>& row) { return row[0].ToInt32() > 70; }));
  // Switching on a condition DAO refuses keeps the table unfiltered.
  table_->SetFiltered(false);
  table_->SetFilter("[Unbekannt] = 1");
  EXPECT_FALSE(ErrorOf([&] { table_->SetFiltered(true); }).empty());
  EXPECT_FALSE(table_->Filtered());
  EXPECT_TRUE(table_->Active());
  EXPECT_EQ(table_->RowCount(), 80);
}

TEST_F(FilterTest, TheRowEventFiltersCountsAndNumbersTheRowsThatPass) {
  const auto even = [](TDataSet& table, bool& accept) { accept = Nr(table) % 2 == 0; };
  table_->SetOnFilterRecord(even);
  // Not filtered: the event is not asked.
  EXPECT_EQ(table_->RowCount(), 80);
  table_->SetFiltered(true);
  EXPECT_EQ(table_->RowCount(), 40);
  const std::vector<int> shown = Shown();
  ASSERT_EQ(shown.size(), 40u);
  EXPECT_EQ(shown.front(), 2);
  EXPECT_EQ(shown.back(), 80);
  table_->GoToRowNumber(7);
  EXPECT_EQ(Nr(*table_), 14);
  EXPECT_EQ(table_->RowNumber(), 7);
  table_->GoNext();
  EXPECT_EQ(Nr(*table_), 16);
  EXPECT_EQ(table_->RowNumber(), 8);
  table_->GoPrior();
  table_->GoPrior();
  EXPECT_EQ(Nr(*table_), 12);
  // LocateRow cannot let DAO search rows the event decides about.
  EXPECT_FALSE(table_->LocateRow("Nr", {Variant(20)}, {}));
  EXPECT_EQ(Nr(*table_), 12);
  // With the DAO condition as well, both decide.
  table_->SetFilter("[Nr] > 60");
  EXPECT_EQ(Shown(), (std::vector<int>{62, 64, 66, 68, 70, 72, 74, 76, 78, 80}));
  // A new handler re-reads the rows.
  table_->SetOnFilterRecord([](TDataSet& table, bool& accept) { accept = Nr(table) > 75; });
  EXPECT_EQ(Nr(*table_), 76);
  EXPECT_EQ(table_->RowCount(), 5);
}

TEST_F(FilterTest, FilteringOnATableTypeRecordsetIsRefusedByDao) {
  table_->SetActive(false);
  table_->SetTableType(kTableTypeTable);
  table_->SetFilter("[Nr] > 3");
  table_->SetFiltered(true);
  EXPECT_THROW(table_->SetActive(true), dao::DaoError);
  EXPECT_FALSE(table_->Active());
}

}  // namespace
}  // namespace accessdb
