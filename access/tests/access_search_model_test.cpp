// Random sequences of filter changes, row-event changes, moves, LocateRow
// and LookupValues on a TAccessTable, checked after every step against a
// model that knows the rows: the row shown, the number of rows, the
// filter's settings and every search's answer.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "access/tests/access_test_support.h"
#include "access/tests/search_test_support.h"
#include "dao/database.h"
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

// Table-type recordsets: random index choices, AutoFindIndex, searches by
// one or two fields with every option and moves. A search answers true
// exactly when some model row holds the keys, the row shown holds them,
// and its row number leads back to it.
TEST_F(SearchModelTest, RandomSeeksOnTableTypeRecordsetsFollowTheModel) {
  auto database = NewDatabase("typen.mdb");
  const std::vector<Row> rows = testing::CreateTypedTable(*database, 50, 5);
  dao::Database& dao = *database->DatabaseObject();
  dao.Execute("CREATE INDEX ixName ON Typen (Name)");
  dao.Execute("CREATE INDEX ixZahlName ON Typen (Zahl, Name DESC)");
  dao.Execute("CREATE INDEX ixGeldDatum ON Typen (Geld DESC, Datum)");
  dao.Execute("CREATE UNIQUE INDEX PrimaryKey ON Typen (Nr) WITH PRIMARY");
  database->RefreshDefinitions();
  const std::vector<std::string> indexes{"", "PrimaryKey", "ixName", "ixZahlName", "ixGeldDatum"};
  // Key fields: Name, Zahl, Geld, Datum (columns after Nr).
  const std::vector<std::size_t> keyColumns{0, 2, 8, 9};
  for (unsigned seed = 1; seed <= 4; ++seed) {
    TAccessTable table("T");
    table.SetDatabase(database.get());
    table.SetTableName("Typen");
    table.SetTableType(kTableTypeTable);
    table.SetIndexName("PrimaryKey");
    table.SetActive(true);
    std::mt19937 random(seed);
    const auto pick = [&](std::size_t count) { return static_cast<std::size_t>(random() % count); };
    for (int step = 0; step < 120; ++step) {
      std::string done;
      switch (pick(4)) {
        case 0:
          done = "index " + indexes[pick(indexes.size())];
          table.SetIndexName(done.substr(6));
          break;
        case 1:
          table.SetAutoFindIndex(pick(2) == 1);
          done = table.AutoFindIndex() ? "auto index" : "set index";
          break;
        case 2: {
          std::vector<std::size_t> columns{keyColumns[pick(keyColumns.size())]};
          if (pick(2) == 1) columns.push_back(keyColumns[pick(keyColumns.size())]);
          if (columns.size() == 2 && columns[0] == columns[1]) columns.pop_back();
          // Keys of an existing row, or drawn from the pools.
          const Row& source = rows[pick(rows.size())];
          std::vector<Variant> keys;
          std::string names;
          for (const std::size_t c : columns) {
            const auto& pool = TypedColumns()[c].pool;
            Variant key = pick(3) == 0 ? pool[pick(pool.size())] : source[c + 1];
            // The start of a text, for partial keys.
            if (TypedColumns()[c].type == ftString && !key.IsNull() && pick(2) == 0) {
              const std::string text = key.ToText();
              std::size_t length = 0;
              while (length < 2 && length < text.size() && static_cast<unsigned char>(text[length]) < 0x80) ++length;
              key = Variant(text.substr(0, length));
            }
            keys.push_back(key);
            names += (names.empty() ? "" : ";") + TypedColumns()[c].name;
          }
          const TLocateOptions options{.caseInsensitive = pick(2) == 1, .partialKey = pick(2) == 1};
          const auto holds = [&](const Row& row) {
            for (std::size_t k = 0; k < columns.size(); ++k) {
              const TFieldType type = TypedColumns()[columns[k]].type;
              if (!ModelMatches(type, row[columns[k] + 1], keys[k], options.partialKey && type == ftString)) return false;
            }
            return true;
          };
          done = "locate " + names;
          const bool expected = std::any_of(rows.begin(), rows.end(), holds);
          bool found = false;
          try {
            found = table.LocateRow(names, keys, options);
          } catch (const std::exception& error) {
            // Only a table without a usable index refuses.
            ASSERT_NE(std::string(error.what()).find("Index Property is Empty"), std::string::npos) << done;
            break;
          }
          ASSERT_EQ(found, expected) << done;
          if (found) {
            ASSERT_TRUE(holds(rows[static_cast<std::size_t>(testing::Nr(table) - 1)])) << done;
            const int shown = testing::Nr(table);
            table.GoToRowNumber(table.RowNumber());
            ASSERT_EQ(testing::Nr(table), shown) << done << ": its row number leads back to it";
          }
          break;
        }
        default:
          done = "next";
          table.GoNext();
          break;
      }
      ASSERT_EQ(table.RowCount(), 50) << "seed " << seed << " step " << step << ": " << done;
    }
  }
}

}  // namespace
}  // namespace accessdb
