// Thousands of random inserts, edits and deletes against a model held in
// memory: after every batch each index holds exactly the entries computed
// from the rows, and at the end our reader, mdb-export and mdb-reader all
// read the model back from the reopened file.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <sstream>

#include "dao/jet/table_creator.h"
#include "dao/jet/table_writer.h"
#include "dao/jet/tests/external_readers.h"
#include "dao/jet/tests/write_test_support.h"

namespace dao::jet {
namespace {

using platform::Variant;

struct ModelRow {
  std::int32_t id = 0;
  std::optional<std::string> name;
  std::optional<std::int32_t> amount;
  std::optional<double> fraction;
  bool flag = false;
  std::optional<std::string> note;
};

const std::vector<NewColumn> kColumns = {{"ID", ColumnType::kLong, 0, true},
                                         {"Name", ColumnType::kText, 60, false, true},
                                         {"Amount", ColumnType::kLong},
                                         {"Fraction", ColumnType::kDouble},
                                         {"Flag", ColumnType::kBoolean},
                                         {"Note", ColumnType::kMemo, 0, false, true}};
const std::vector<NewIndex> kIndexes = {{"PrimaryKey", {{0, false}}, true},
                                        {"Name", {{1, false}}},
                                        {"AmountDown", {{2, true}, {4, false}}, false, false, true}};

class RandomRows {
 public:
  explicit RandomRows(unsigned seed) : random_(seed) {}

  ModelRow Next() {
    static const char* kFoods[] = {"Äpfel", "Birnen", "Weißbrot", "Crème brûlée", "O'Neil's Pie", "Müsli", "Zucker",
                                   "brot", "BROT", "Öl"};
    ModelRow row;
    if (Chance(90)) row.name = std::string(kFoods[Pick(std::size(kFoods))]) + " " + std::to_string(Pick(40));
    if (Chance(85)) row.amount = static_cast<std::int32_t>(Pick(2000)) - 1000;
    if (Chance(80)) row.fraction = (static_cast<double>(Pick(4000)) - 2000) / 4;
    row.flag = Chance(50);
    if (Chance(40)) {
      const std::size_t sizes[] = {0, 5, 60, 70, 500, 3000, 5000, 9000};
      row.note = std::string(sizes[Pick(std::size(sizes))], static_cast<char>('a' + Pick(26)));
    }
    return row;
  }
  bool Chance(int percent) { return static_cast<int>(Pick(100)) < percent; }
  std::size_t Pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }

 private:
  std::mt19937 random_;
};

std::vector<FieldValue> ToValues(const ModelRow& row, bool withId) {
  return {withId ? FieldValue::Integer(row.id) : FieldValue::Null(),
          row.name ? FieldValue::Text(*row.name) : FieldValue::Null(),
          row.amount ? FieldValue::Integer(*row.amount) : FieldValue::Null(),
          row.fraction ? FieldValue::Real(*row.fraction) : FieldValue::Null(),
          FieldValue::Integer(row.flag ? 1 : 0),
          row.note ? FieldValue::Text(*row.note) : FieldValue::Null()};
}

std::vector<Variant> ToVariants(const ModelRow& row) {
  return {Variant(row.id), row.name ? Variant(*row.name) : Variant::Null(),
          row.amount ? Variant(*row.amount) : Variant::Null(),
          row.fraction ? Variant(*row.fraction) : Variant::Null(), Variant(row.flag),
          row.note ? Variant(*row.note) : Variant::Null()};
}

std::string Json(const ModelRow& row) {
  const auto number = [](double value) {
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
  };
  const auto text = [](const std::optional<std::string>& value) { return value ? "\"" + *value + "\"" : "null"; };
  std::ostringstream out;
  out << "[" << row.id << "," << text(row.name) << "," << (row.amount ? std::to_string(*row.amount) : "null") << ","
      << (row.fraction ? number(*row.fraction) : "null") << "," << (row.flag ? "true" : "false") << ","
      << text(row.note) << "]";
  return out.str();
}

void ExpectIndexesExact(TableWriter& table) {
  for (std::size_t i = 0; i < table.Definition().realIndexes.size(); ++i)
    ASSERT_EQ(table.IndexEntries(i), table.ExpectedIndexEntries(i)) << "index " << i;
}

void RunRandomOperations(const Layout& layout, int operations, unsigned seed) {
  testing::MemoryDatabase database(layout);
  const std::uint32_t tdef = CreateTable(database.Writer(), database.Codec(), "Random", kColumns, kIndexes, 45000);
  TableWriter table(database.Writer(), database.Codec(), database.Table(tdef));
  RandomRows random(seed);
  std::map<std::uint32_t, ModelRow> model;
  std::int32_t lastId = 0;
  const auto pickRow = [&] {
    auto it = model.begin();
    std::advance(it, static_cast<long>(random.Pick(model.size())));
    return it;
  };
  for (int op = 1; op <= operations; ++op) {
    const int kind = static_cast<int>(random.Pick(10));
    if (model.empty() || kind < 5) {
      ModelRow row = random.Next();
      std::vector<FieldValue> values = ToValues(row, false);
      const RowPointer at = table.Insert(values);
      row.id = static_cast<std::int32_t>(values[0].integer);
      ASSERT_EQ(row.id, ++lastId);
      ASSERT_TRUE(model.emplace(at.ToU32(), row).second);
    } else if (kind < 8) {
      auto it = pickRow();
      ModelRow row = random.Next();
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
  std::vector<std::string> expectedJson;
  std::vector<std::string> expectedIds;
  for (const auto& [location, values] : rows) {
    const auto it = model.find(location);
    ASSERT_NE(it, model.end());
    EXPECT_EQ(values, ToVariants(it->second)) << "row " << it->second.id;
    expectedJson.push_back(Json(it->second));
    expectedIds.push_back(std::to_string(it->second.id));
  }
  // The other readers deliver a moved (overflow) row where its data lies,
  // ours where its slot is; so rows are compared as sets.
  std::sort(expectedJson.begin(), expectedJson.end());
  std::sort(expectedIds.begin(), expectedIds.end());

  if (!testing::HaveMdbTools() || !testing::HaveMdbReader()) GTEST_SKIP() << "mdbtools or mdb-reader missing";
  const std::string file =
      (std::filesystem::temp_directory_path() / ("jet-random-" + std::to_string(seed) + ".mdb")).string();
  reopened.SaveAs(file);
  const auto csv = testing::MdbExport(file, "Random");
  const auto json = testing::MdbReaderJson(file, "Random");
  ASSERT_TRUE(csv && json);
  std::istringstream lines(*csv);
  std::string line;
  std::getline(lines, line);
  std::vector<std::string> csvIds;
  while (std::getline(lines, line)) csvIds.push_back(line.substr(0, line.find(',')));
  std::sort(csvIds.begin(), csvIds.end());
  EXPECT_EQ(csvIds, expectedIds);
  const std::size_t start = json->find("\"rows\":[[");
  const std::size_t end = json->rfind("]]}]}");
  ASSERT_TRUE(start != std::string::npos && end != std::string::npos) << json->substr(0, 300);
  std::vector<std::string> jsonRows;
  const std::string all = json->substr(start + 9, end - start - 9);
  for (std::size_t from = 0;;) {
    const std::size_t next = all.find("],[", from);
    jsonRows.push_back("[" + all.substr(from, next == std::string::npos ? std::string::npos : next - from) + "]");
    if (next == std::string::npos) break;
    from = next + 3;
  }
  std::sort(jsonRows.begin(), jsonRows.end());
  EXPECT_EQ(jsonRows, expectedJson);
  if (!::testing::Test::HasFailure()) std::filesystem::remove(file);
}

TEST(TableWriterRandomTest, Jet4MixedOperationsMatchTheModel) { RunRandomOperations(kJet4Layout, 20000, 4711); }

TEST(TableWriterRandomTest, Jet3MixedOperationsMatchTheModel) { RunRandomOperations(kJet3Layout, 4000, 815); }

}  // namespace
}  // namespace dao::jet
