// An ordered view under random edits: new rows (at the end or in order),
// changed keys, deletions and re-sorts, checked after every step against a
// simple list: the rows, their order, the sorted flag, and that LocateRow
// finds the first row with a name whether it bisects or scans.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "platform/variant.h"
#include "tablefile/ntd_dataset.h"

namespace tablefile {
namespace {

struct Row {
  int id;
  std::string name;
};

class ViewEditModel {
 public:
  explicit ViewEditModel(unsigned seed) : random_(seed) {
    table_.FieldDefs().AddFieldDef("Id", recordset::ftInteger);
    table_.FieldDefs().AddFieldDef("Name", recordset::ftString, 40);
    table_.SetActive(true);
    options_ = static_cast<TNtdSortOptions>((Chance(50) ? vsoInsertInOrder : 0) | (Chance(30) ? vsoDescendSort : 0));
    table_.SetSortOptions(options_);
    for (int i = 0; i < 20; ++i) Append();
    Resort();
  }

  void Run(int steps) {
    for (int step = 0; step < steps; ++step) {
      const int operation = static_cast<int>(random_() % 10);
      SCOPED_TRACE("step " + std::to_string(step) + " operation " + std::to_string(operation));
      if (operation < 4) {
        Append();
      } else if (operation < 6) {
        EditName();
      } else if (operation < 8) {
        Delete();
      } else if (operation == 8) {
        Resort();
      } else {
        table_.SetSortOptions(options_ ^= vsoInsertInOrder);  // a rebuild, in order again
        Sorted();
      }
      Check();
      if (::testing::Test::HasFailure()) return;
    }
  }

 private:
  bool Chance(int percent) { return static_cast<int>(random_() % 100) < percent; }
  std::string Name() { return std::string(1, "abcde"[random_() % 5]) + std::string(1, "xyz"[random_() % 3]); }
  bool Descending() const { return (options_ & vsoDescendSort) != 0; }
  bool Before(const std::string& a, const std::string& b) const { return Descending() ? b < a : a < b; }

  void Append() {
    const Row row{nextId_++, Name()};
    table_.AppendRow();
    table_.FieldNamed("Id").SetTextValue(std::to_string(row.id));
    table_.FieldNamed("Name").SetTextValue(row.name);
    table_.PostRow();
    if ((options_ & vsoInsertInOrder) != 0 && sorted_) {
      // At the first row that does not order before it.
      const auto place = std::find_if(rows_.begin(), rows_.end(), [&](const Row& r) { return !Before(r.name, row.name); });
      rows_.insert(place, row);
    } else {
      if (sorted_ && !rows_.empty() && Before(row.name, rows_.back().name)) sorted_ = false;
      rows_.push_back(row);
    }
  }

  void EditName() {
    if (rows_.empty()) return;
    const std::size_t at = random_() % rows_.size();
    table_.GoFirst();
    table_.MoveBy(static_cast<int>(at));
    Row& row = rows_[at];
    const std::string before = row.name;
    row.name = Name();
    table_.EditRow();
    table_.FieldNamed("Name").SetTextValue(row.name);
    table_.PostRow();
    if (row.name != before) sorted_ = false;
  }

  void Delete() {
    if (rows_.empty()) return;
    const std::size_t at = random_() % rows_.size();
    table_.GoFirst();
    table_.MoveBy(static_cast<int>(at));
    table_.DeleteRow();
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(at));
  }

  void Resort() {
    table_.SetIndexFieldNames("");
    table_.SetIndexFieldNames("Name");
    Sorted();
  }

  // After a sort: equal names may come in any order, so the view's order
  // is taken over once it is checked to be ordered.
  void Sorted() {
    std::map<int, std::string> names;
    for (const Row& row : rows_) names[row.id] = row.name;
    rows_.clear();
    for (const int id : ViewIds()) rows_.push_back({id, names.at(id)});
    ASSERT_EQ(rows_.size(), names.size());
    for (std::size_t i = 1; i < rows_.size(); ++i) ASSERT_FALSE(Before(rows_[i].name, rows_[i - 1].name));
    sorted_ = true;
  }

  std::vector<int> ViewIds() const {
    const TNtdField& id = *table_.Store()->FindField("Id");
    std::vector<int> ids;
    for (const RecordEntry* record : table_.View()) ids.push_back(record->Data.Get<std::int32_t>(id));
    return ids;
  }

  void Check() {
    std::vector<int> expected;
    for (const Row& row : rows_) expected.push_back(row.id);
    ASSERT_EQ(ViewIds(), expected);
    ASSERT_EQ(table_.ViewSorted(), sorted_);
    const std::string name = Name();
    const auto first = std::find_if(rows_.begin(), rows_.end(), [&](const Row& row) { return row.name == name; });
    const bool found = table_.LocateRow("Name", {platform::Variant(name)}, {});
    ASSERT_EQ(found, first != rows_.end()) << name << (sorted_ ? " (bisecting)" : " (scanning)");
    if (found) ASSERT_EQ(table_.RowNumber(), first - rows_.begin() + 1) << name;
  }

  std::mt19937 random_;
  TNtdTable table_;
  TNtdSortOptions options_ = 0;
  std::vector<Row> rows_;  // the view, in order
  bool sorted_ = false;
  int nextId_ = 1;
};

TEST(ViewEditModel, EditsKeepTheViewAndItsSearchesRight) {
  for (unsigned seed = 0; seed < 200; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    ViewEditModel model(seed);
    model.Run(200);
    if (::testing::Test::HasFailure()) return;
  }
}

}  // namespace
}  // namespace tablefile
