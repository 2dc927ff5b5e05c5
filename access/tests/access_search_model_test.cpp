// Random sequences of filter changes, row-event changes, moves, LocateRow
// and LookupValues on a TAccessTable, checked after every step against a
// model that knows the rows: the row shown, the number of rows, the
// filter's settings and every search's answer.

#include <gtest/gtest.h>

#include <random>

#include "access/tests/access_test_support.h"
#include "access/tests/search_test_support.h"
#include "platform/text_case.h"

namespace accessdb {
namespace {

using namespace recordset;
using platform::Variant;
using Row = std::vector<Variant>;
using testing::ModelMatches;
using testing::TypedColumns;

struct Condition {
  std::string text;
  std::function<bool(const Row&)> passes;
};

const std::vector<Condition>& Conditions() {
  static const std::vector<Condition> conditions{
      {"", [](const Row&) { return true; }},
      {"[Nr] > 30", [](const Row& row) { return row[0].ToInt32() > 30; }},
      {"[Zahl] IS NULL", [](const Row& row) { return row[3].IsNull(); }},
      {"[Name] LIKE \"A*\"",
       [](const Row& row) { return !row[1].IsNull() && platform::AnsiLowerCase(row[1].ToText()).starts_with("a"); }},
      {"[Ja] = True", [](const Row& row) { return row[6].ToBoolean(); }},
      {"[Nr] < 0", [](const Row&) { return false; }},
  };
  return conditions;
}

class Model {
 public:
  explicit Model(std::vector<Row> rows) : rows_(std::move(rows)) { current_ = FirstVisible(); }

  // The rows DAO delivers (the filter condition) and, of those, the rows
  // the table shows (the row event as well).
  bool PassesDao(const Row& row) const { return !filtered_ || condition_ == 0 || Conditions()[condition_].passes(row); }
  bool Visible(const Row& row) const { return PassesDao(row) && (!filtered_ || !evenOnly_ || row[0].ToInt32() % 2 == 0); }
  std::vector<int> VisibleNumbers() const {
    std::vector<int> numbers;
    for (const Row& row : rows_) {
      if (Visible(row)) numbers.push_back(row[0].ToInt32());
    }
    return numbers;
  }
  int FirstVisible() const {
    const auto numbers = VisibleNumbers();
    return numbers.empty() ? 0 : numbers.front();
  }

  // A setting that re-reads the rows when filtering is on.
  void Reread() { current_ = FirstVisible(); }

  std::vector<Row> rows_;
  std::size_t condition_ = 0;
  bool filtered_ = false;
  bool evenOnly_ = false;
  int current_ = 0;
};

int ShownNr(const TAccessTable& table) { return table.IsEmpty() ? 0 : testing::Nr(table); }

class SearchModelTest : public testing::AccessTest {};

TEST_F(SearchModelTest, RandomFilterAndSearchSequencesFollowTheModel) {
  auto database = NewDatabase("typen.mdb");
  const std::vector<Row> rows = testing::CreateTypedTable(*database, 50, 99);
  for (unsigned seed = 1; seed <= 6; ++seed) {
    auto table = OpenTable(*database, "Typen");
    Model model(rows);
    std::mt19937 random(seed);
    const auto pick = [&](std::size_t count) { return static_cast<std::size_t>(random() % count); };
    const TDataSetEvents::FilterEvent even = [](TDataSet& dataSet, bool& accept) {
      accept = dataSet.FieldNamed("Nr").VariantValue().ToInt32() % 2 == 0;
    };
    for (int step = 0; step < 150; ++step) {
      std::string done;
      switch (pick(8)) {
        case 0: {
          model.condition_ = pick(Conditions().size());
          done = "filter " + Conditions()[model.condition_].text;
          table->SetFilter(Conditions()[model.condition_].text);
          if (model.filtered_) model.Reread();
          break;
        }
        case 1: {
          const bool on = pick(2) == 1;
          done = on ? "filtered" : "unfiltered";
          table->SetFiltered(on);
          if (on != model.filtered_) {
            model.filtered_ = on;
            model.Reread();
          }
          break;
        }
        case 2: {
          model.evenOnly_ = pick(2) == 1;
          done = model.evenOnly_ ? "even rows" : "no event";
          table->SetOnFilterRecord(model.evenOnly_ ? even : nullptr);
          if (model.filtered_) model.Reread();
          break;
        }
        case 3: {
          const std::size_t column = pick(TypedColumns().size());
          const Variant key = TypedColumns()[column].pool[pick(TypedColumns()[column].pool.size())];
          const TLocateOptions options{.caseInsensitive = pick(2) == 1, .partialKey = pick(2) == 1};
          const bool partial = options.partialKey && (TypedColumns()[column].type == ftString ||
                                                      TypedColumns()[column].type == ftMemo);
          done = "locate " + TypedColumns()[column].name + " " + (key.IsNull() ? "Null" : key.ToText());
          int expected = 0;
          if (!(model.filtered_ && model.evenOnly_)) {
            for (const Row& row : rows) {
              if (model.Visible(row) && ModelMatches(TypedColumns()[column].type, row[column + 1], key, partial)) {
                expected = row[0].ToInt32();
                break;
              }
            }
          }
          ASSERT_EQ(table->LocateRow(TypedColumns()[column].name, {key}, options), expected != 0) << done;
          if (expected != 0) model.current_ = expected;
          break;
        }
        case 4: {
          const std::size_t column = pick(TypedColumns().size());
          const Variant key = TypedColumns()[column].pool[pick(TypedColumns()[column].pool.size())];
          done = "lookup " + TypedColumns()[column].name;
          Variant expected(false);
          if (!model.VisibleNumbers().empty()) {
            for (const Row& row : rows) {
              if (model.PassesDao(row) && ModelMatches(TypedColumns()[column].type, row[column + 1], key, false)) {
                expected = row[0];
                break;
              }
            }
          }
          ASSERT_EQ(table->LookupValues(TypedColumns()[column].name, {key}, "Nr"), expected) << done;
          break;
        }
        case 5: {
          done = "next";
          table->GoNext();
          const auto numbers = model.VisibleNumbers();
          const auto at = std::find(numbers.begin(), numbers.end(), model.current_);
          if (at != numbers.end() && at + 1 != numbers.end()) model.current_ = *(at + 1);
          break;
        }
        case 6: {
          done = "prior";
          table->GoPrior();
          const auto numbers = model.VisibleNumbers();
          const auto at = std::find(numbers.begin(), numbers.end(), model.current_);
          if (at != numbers.end() && at != numbers.begin()) model.current_ = *(at - 1);
          break;
        }
        default: {
          const auto numbers = model.VisibleNumbers();
          if (numbers.empty()) break;
          const std::size_t number = pick(numbers.size());
          done = "row number " + std::to_string(number + 1);
          table->GoToRowNumber(static_cast<int>(number) + 1);
          model.current_ = numbers[number];
          break;
        }
      }
      const std::string context = "seed " + std::to_string(seed) + " step " + std::to_string(step) + ": " + done;
      ASSERT_EQ(ShownNr(*table), model.current_) << context;
      ASSERT_EQ(table->RowCount(), static_cast<int>(model.VisibleNumbers().size())) << context;
      if (model.current_ != 0) {
        const auto numbers = model.VisibleNumbers();
        const auto at = std::find(numbers.begin(), numbers.end(), model.current_);
        ASSERT_EQ(table->RowNumber(), static_cast<int>(at - numbers.begin()) + 1) << context;
      }
      ASSERT_EQ(table->Filter(), Conditions()[model.condition_].text) << context;
      ASSERT_EQ(table->Filtered(), model.filtered_) << context;
    }
  }
}

}  // namespace
}  // namespace accessdb
