// Adding, changing and deleting rows in copies of Access-made databases
// (indexes with shared prefixes, tail pages and several levels, unique and
// ignore-nulls indexes, AutoNumber): old rows stay intact, every index stays
// exact, and the independent readers agree.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>

#include "dao/jet/catalog.h"
#include "dao/jet/jet_error.h"
#include "dao/jet/table_writer.h"
#include "dao/jet/tests/external_readers.h"
#include "dao/jet/tests/fixture_files.h"
#include "dao/jet/tests/write_test_support.h"
#include "platform/testing/temp_folder.h"

namespace dao::jet {
namespace {

using platform::Variant;

FieldValue FromVariant(const ColumnDefinition& column, const Variant& value) {
  if (value.IsNull()) return FieldValue::Null();
  switch (column.Type()) {
    case ColumnType::kBoolean: return FieldValue::Integer(value.ToBoolean() ? 1 : 0);
    case ColumnType::kByte:
    case ColumnType::kInteger:
    case ColumnType::kLong: return FieldValue::Integer(value.ToInt64());
    case ColumnType::kCurrency: return FieldValue::Integer(value.ToCurrency().scaled);
    case ColumnType::kSingle:
    case ColumnType::kDouble: return FieldValue::Real(value.ToDouble());
    case ColumnType::kDateTime: return FieldValue::Real(value.ToDate());
    case ColumnType::kText:
    case ColumnType::kMemo: return FieldValue::Text(*value.StringIf());
    case ColumnType::kGuid: {
      const platform::Guid guid = value.ToGuid();
      return FieldValue::Binary({guid.bytes.begin(), guid.bytes.end()});
    }
    default: return FieldValue::Binary(value.ToBytes());
  }
}

// A variation of an existing row that keeps every value within its column;
// the AutoNumber is left to the engine for a new row and kept for an edit.
std::vector<FieldValue> Variation(const TableDefinition& table, const std::vector<Variant>& row, bool newRow,
                                  std::mt19937& random) {
  std::vector<FieldValue> values;
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    const ColumnDefinition& column = table.columns[i];
    FieldValue value = FromVariant(column, row[i]);
    if (column.IsAutoNumber()) {
      if (newRow) value = FieldValue::Null();
    }
    else if (column.Type() == ColumnType::kText && !value.null && value.text.size() + 3 <= column.length / 2u)
      value.text += " " + std::to_string(random() % 100);
    else if (column.Type() == ColumnType::kLong && !value.null) value.integer += random() % 1000;
    else if (column.Type() == ColumnType::kDecimal) value = FieldValue::Null();
    values.push_back(value);
  }
  return values;
}

struct Case {
  const char* file;
  const char* table;
};

class FixtureAppendTest : public ::testing::TestWithParam<Case> {};

TEST_P(FixtureAppendTest, ChangesKeepOldRowsAndIndexesExact) {
  const auto path = std::filesystem::path(NUTARO_FIXTURES_DIR) / GetParam().file;
  std::vector<std::uint8_t> bytes = testing::ReadFileBytes(path);
  if (bytes.empty()) GTEST_SKIP() << "fixture " << path << " is absent";
  const Layout& layout = bytes[kVersionOffset] == kJet4VersionByte ? kJet4Layout : kJet3Layout;
  testing::MemoryDatabase database(layout, std::move(bytes));
  std::uint32_t tdef = 0;
  const TableDefinition objects = database.Table(kMSysObjectsPage);
  for (const CatalogEntry& entry : ReadCatalog(database.File(), layout, database.Codec(), objects))
    if (entry.IsLocalTable() && entry.name == GetParam().table) tdef = entry.id;
  ASSERT_NE(tdef, 0u);
  TableWriter table(database.Writer(), database.Codec(), database.Table(tdef));
  const auto before = testing::ReadRows(database.File(), layout, database.Codec(), table.Definition());
  ASSERT_FALSE(before.empty());
  std::map<std::uint32_t, std::vector<Variant>> untouched(before.begin(), before.end());
  std::vector<std::uint32_t> live;
  for (const auto& row : before) live.push_back(row.first);

  std::mt19937 random(17);
  int refused = 0;
  for (int op = 0; op < 600; ++op) {
    const std::uint32_t target = live[random() % live.size()];
    const auto& source = untouched.count(target) ? untouched[target] : before[random() % before.size()].second;
    const unsigned kind = random() % 4;
    std::vector<FieldValue> values = Variation(table.Definition(), source, kind < 2, random);
    try {
      switch (kind) {
        case 0:
        case 1: live.push_back(table.Insert(values).ToU32()); break;
        case 2:
          table.Update(RowPointer::FromU32(target), {values.begin(), values.end()});
          untouched.erase(target);
          break;
        default:
          if (live.size() < 3) break;
          table.Delete(RowPointer::FromU32(target));
          untouched.erase(target);
          live.erase(std::find(live.begin(), live.end(), target));
      }
    } catch (const JetError& error) {
      ASSERT_EQ(error.Number(), kErrDuplicateKey) << error.what();
      ++refused;
    }
  }
  for (std::size_t i = 0; i < table.Definition().realIndexes.size(); ++i)
    EXPECT_EQ(table.IndexEntries(i), table.ExpectedIndexEntries(i)) << "index " << i;

  testing::MemoryDatabase reopened(layout, database.Image());
  const TableDefinition stored = reopened.Table(tdef);
  const auto after = testing::ReadRows(reopened.File(), layout, reopened.Codec(), stored);
  EXPECT_EQ(after.size(), live.size());
  EXPECT_EQ(stored.rowCount, live.size());
  std::size_t kept = 0;
  for (const auto& [location, values] : after) {
    const auto old = untouched.find(location);
    if (old == untouched.end()) continue;
    EXPECT_EQ(values, old->second);
    ++kept;
  }
  EXPECT_EQ(kept, untouched.size());

  if (!testing::HaveMdbTools() || !testing::HaveMdbReader()) GTEST_SKIP() << "mdbtools or mdb-reader missing";
  const platform::testing::TempFolder folder;
  const std::string file = folder.File("append.mdb");
  reopened.SaveAs(file);
  const auto csv = testing::MdbExport(file, GetParam().table);
  const auto json = testing::MdbReaderJson(file, GetParam().table);
  ASSERT_TRUE(csv && json);
  std::size_t csvRows = 0;
  bool quoted = false;
  for (const char c : *csv) {
    if (c == '"') quoted = !quoted;
    if (c == '\n' && !quoted) ++csvRows;
  }
  EXPECT_EQ(csvRows, after.size() + 1);
  EXPECT_NE(json->find("\"rowCount\":" + std::to_string(after.size()) + ","), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FixtureAppendTest,
                         ::testing::Values(Case{"nutaro/nuta4-target-indexed.mdb", "Nuta"},
                                           Case{"access/v2003-compIndexTest.mdb", "Table1"},
                                           Case{"access/v1997-testIndexCodes.mdb", "Table1"},
                                           Case{"access/v2000-testIndexProperties.mdb", "TableUnique1_temp"},
                                           Case{"access/v1997-indexTest.mdb", "Table1"}),
                         [](const auto& info) {
                           std::string name = info.param.file;
                           name = name.substr(name.find('/') + 1);
                           name = name.substr(0, name.find('.'));
                           std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
                           return name;
                         });

}  // namespace
}  // namespace dao::jet
