// Index trees several levels deep, built by random inserts of long keys and
// torn down again by deletes: after each phase the entries equal those
// computed from the rows, and an emptied index is a single empty leaf.
#include "dao/jet/index_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "dao/jet/table_creator.h"
#include "dao/jet/table_writer.h"
#include "dao/jet/tests/write_test_support.h"
#include "dao/jet/usage_map.h"

namespace dao::jet {
namespace {

class IndexTreeTest : public ::testing::TestWithParam<const Layout*> {};

TEST_P(IndexTreeTest, DeepTreesGrowAndShrinkExactly) {
  const Layout& layout = *GetParam();
  testing::MemoryDatabase database(layout);
  // Long keys: a dozen entries per page, so 2,500 rows make three levels.
  const std::uint32_t tdef = CreateTable(database.Writer(), database.Codec(), "Deep",
                                         {{"Name", ColumnType::kText, 255}, {"Number", ColumnType::kLong}},
                                         {{"Name", {{0, false}, {1, true}}}}, 45000);
  TableWriter table(database.Writer(), database.Codec(), database.Table(tdef));
  std::mt19937 random(99);
  std::vector<RowPointer> rows;
  for (int i = 0; i < 2500; ++i) {
    std::string name(200, static_cast<char>('a' + random() % 3));
    name += std::to_string(random() % 1000);
    std::vector<FieldValue> values = {FieldValue::Text(name), FieldValue::Integer(static_cast<int>(random() % 50))};
    rows.push_back(table.Insert(values));
  }
  const auto entries = table.IndexEntries(0);
  EXPECT_EQ(entries.size(), rows.size());
  EXPECT_EQ(entries, table.ExpectedIndexEntries(0));
  const RowPointer indexMap = table.Definition().realIndexes[0].usageMap;
  const std::size_t pagesAtTop = ReadUsageMap(database.File(), layout, indexMap).size();
  EXPECT_GT(pagesAtTop, 200u);

  std::shuffle(rows.begin(), rows.end(), random);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    table.Delete(rows[i]);
    if (i == rows.size() / 2) ASSERT_EQ(table.IndexEntries(0), table.ExpectedIndexEntries(0));
  }
  EXPECT_TRUE(table.IndexEntries(0).empty());
  // Only the root stays, an empty leaf; the other pages were given back.
  EXPECT_EQ(ReadUsageMap(database.File(), layout, indexMap),
            std::vector<std::uint32_t>{table.Definition().realIndexes[0].rootPage});
  EXPECT_GT(ReadUsageMap(database.File(), layout, {kGlobalUsageMapPage, 0}).size(), pagesAtTop - 2);
  EXPECT_EQ(database.Table(tdef).rowCount, 0u);
}

INSTANTIATE_TEST_SUITE_P(Versions, IndexTreeTest, ::testing::Values(&kJet4Layout, &kJet3Layout),
                         [](const auto& info) { return info.param->IsJet4() ? "Jet4" : "Jet3"; });

}  // namespace
}  // namespace dao::jet
