// Thousands of random inserts, edits and deletes against a model held in
// memory: after every batch each index holds exactly the entries computed
// from the rows, and at the end our reader, mdb-export and mdb-reader all
// read the model back from the reopened file.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>

#include "dao/jet/table_creator.h"
#include "dao/jet/table_writer.h"
#include "dao/jet/tests/file_checks.h"
#include "dao/jet/tests/random_model.h"
#include "dao/jet/tests/write_test_support.h"
#include "platform/testing/temp_folder.h"

namespace dao::jet {
namespace {

const std::vector<NewColumn> kColumns = {{"ID", ColumnType::kLong, 0, true},
                                         {"Name", ColumnType::kText, 60, false, true},
                                         {"Amount", ColumnType::kLong},
                                         {"Fraction", ColumnType::kDouble},
                                         {"Flag", ColumnType::kBoolean},
                                         {"Note", ColumnType::kMemo, 0, false, true}};
const std::vector<NewIndex> kIndexes = {{"PrimaryKey", {{0, false}}, true},
                                        {"Name", {{1, false}}},
                                        {"AmountDown", {{2, true}, {4, false}}, false, false, true}};

std::vector<FieldValue> ToValues(const testing::ModelRow& row, bool withId) {
  return {withId ? FieldValue::Integer(row.id) : FieldValue::Null(),
          row.name ? FieldValue::Text(*row.name) : FieldValue::Null(),
          row.amount ? FieldValue::Integer(*row.amount) : FieldValue::Null(),
          row.fraction ? FieldValue::Real(*row.fraction) : FieldValue::Null(),
          FieldValue::Integer(row.flag ? 1 : 0),
          row.note ? FieldValue::Text(*row.note) : FieldValue::Null()};
}

void ExpectIndexesExact(TableWriter& table) {
  for (std::size_t i = 0; i < table.Definition().realIndexes.size(); ++i)
    ASSERT_EQ(table.IndexEntries(i), table.ExpectedIndexEntries(i)) << "index " << i;
}

void RunRandomOperations(const Layout& layout, int operations, unsigned seed) {
  testing::MemoryDatabase database(layout);
  const std::uint32_t tdef = CreateTable(database.Writer(), database.Codec(), "Random", kColumns, kIndexes, 45000);
  TableWriter table(database.Writer(), database.Codec(), database.Table(tdef));
  testing::RandomRows random(seed);
  std::map<std::uint32_t, testing::ModelRow> model;
  std::int32_t lastId = 0;
  const auto pickRow = [&] {
    auto it = model.begin();
    std::advance(it, static_cast<long>(random.Pick(model.size())));
    return it;
  };
  for (int op = 1; op <= operations; ++op) {
    const int kind = static_cast<int>(random.Pick(10));
    if (model.empty() || kind < 5) {
      testing::ModelRow row = random.Next();
      std::vector<FieldValue> values = ToValues(row, false);
      const RowPointer at = table.Insert(values);
      row.id = static_cast<std::int32_t>(values[0].integer);
      ASSERT_EQ(row.id, ++lastId);
      ASSERT_TRUE(model.emplace(at.ToU32(), row).second);
    } else if (kind < 8) {
      auto it = pickRow();
      testing::ModelRow row = random.Next();
      row.id = it->second.id;
      const std::vector<FieldValue> values = ToValues(row, true);
      std::vector<std::optional<FieldValue>> changes(values.begin(), values.end());
      if (random.Chance(30)) {
        // An edit of two fields: the others, long values included, stay.
        row = it->second;
        row.amount = static_cast<std::int32_t>(random.Pick(100));
        row.flag = !row.flag;
        changes.assign(values.size(), std::nullopt);
        changes[2] = FieldValue::Integer(*row.amount);
        changes[4] = FieldValue::Integer(row.flag ? 1 : 0);
      }
      table.Update(RowPointer::FromU32(it->first), changes);
      it->second = row;
    } else {
      auto it = pickRow();
      table.Delete(RowPointer::FromU32(it->first));
      model.erase(it);
    }
    if (op % 2000 == 0) ExpectIndexesExact(table);
    if (::testing::Test::HasFatalFailure()) return;
  }
  ExpectIndexesExact(table);

  // Reopen from the bytes and compare with the model.
  testing::MemoryDatabase reopened(layout, database.Image());
  const TableDefinition stored = reopened.Table(tdef);
  EXPECT_EQ(stored.rowCount, model.size());
  EXPECT_EQ(stored.autoNumber, static_cast<std::uint32_t>(lastId));
  const auto rows = testing::ReadRows(reopened.File(), layout, reopened.Codec(), stored);
  ASSERT_EQ(rows.size(), model.size());
  std::vector<testing::ModelRow> expected;
  for (const auto& [location, values] : rows) {
    const auto it = model.find(location);
    ASSERT_NE(it, model.end());
    EXPECT_EQ(values, testing::ToVariants(it->second)) << "row " << it->second.id;
    expected.push_back(it->second);
  }
  const platform::testing::TempFolder folder;
  const std::string file = folder.File("random.mdb");
  reopened.SaveAs(file);
  testing::ExpectFileKeepsTheChecklist(file);
  testing::ExpectExternalReadersSee(file, "Random", expected);
}

TEST(TableWriterRandomTest, Jet4MixedOperationsMatchTheModel) { RunRandomOperations(kJet4Layout, 20000, 4711); }

TEST(TableWriterRandomTest, Jet3MixedOperationsMatchTheModel) { RunRandomOperations(kJet3Layout, 4000, 815); }

}  // namespace
}  // namespace dao::jet
