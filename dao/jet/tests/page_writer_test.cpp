// Page allocation and the usage maps that record it: the global map grows
// with the file, owner maps move their window or become reference maps, and
// a rolled-back transaction restores every page.
#include "dao/jet/page_writer.h"

#include <gtest/gtest.h>

#include "dao/jet/data_page.h"
#include "dao/jet/data_page_writer.h"
#include "dao/jet/format.h"
#include "dao/jet/usage_map.h"
#include "dao/jet/usage_map_writer.h"
#include "dao/jet/tests/write_test_support.h"

namespace dao::jet {
namespace {

// Pages the global map (page 1, row 0) marks as free.
std::vector<std::uint32_t> FreePages(testing::MemoryDatabase& database) {
  return ReadUsageMap(database.File(), database.GetLayout(), {kGlobalUsageMapPage, 0});
}

// The bytes of the map row at `pointer`.
std::vector<std::uint8_t> MapRow(testing::MemoryDatabase& database, RowPointer pointer) {
  const DataPage page(database.GetLayout(), database.File().Read(pointer.page));
  const Bytes row = page.RowBytes(pointer.row);
  return {row.begin(), row.end()};
}

// A new usage-map holder page with one empty inline map row.
RowPointer NewOwnerMap(PageWriter& pages) {
  const MutablePageRef holder = pages.Allocate();
  InitDataPage(holder->MutableData(), kUsageMapHolderOwner, pages.GetLayout());
  const auto row = AddRow(holder->MutableData(), NewInlineUsageMap(0, pages.GetLayout().inlineUsageMapBitmapSize),
                          pages.GetLayout());
  return {holder->Number(), *row};
}

TEST(PageWriterTest, GlobalMapTracksEveryPageAsTheFileGrows) {
  for (const Layout* layout : {&kJet4Layout, &kJet3Layout}) {
    testing::MemoryDatabase database(*layout);
    PageWriter& pages = database.Writer();
    const std::uint32_t start = pages.PageCount();
    EXPECT_TRUE(FreePages(database).empty());  // pages beyond the file are not listed by the reader
    // Far beyond the 512 (1024) pages a new global map covers.
    for (int i = 0; i < 3000; ++i) pages.Allocate();
    EXPECT_EQ(pages.PageCount(), start + 3000);
    EXPECT_TRUE(FreePages(database).empty());
    pages.Release(start + 10);
    EXPECT_EQ(FreePages(database), std::vector<std::uint32_t>{start + 10});
    // The grown map still marks the pages beyond the end of the file free.
    const std::vector<std::uint8_t> row = MapRow(database, {kGlobalUsageMapPage, 0});
    EXPECT_TRUE(InlineUsageMapLists(row, pages.PageCount() + 1));
    EXPECT_FALSE(InlineUsageMapLists(row, pages.PageCount() - 1));
  }
}

TEST(PageWriterTest, GlobalMapBecomesAReferenceMapWhenPageOneIsFull) {
  // Page 1 of a Jet 3 file holds an inline map of about 15,000 pages.
  testing::MemoryDatabase database(kJet3Layout);
  PageWriter& pages = database.Writer();
  for (int i = 0; i < 40000; ++i) pages.Allocate();
  EXPECT_EQ(MapRow(database, {kGlobalUsageMapPage, 0})[0], kUsageMapReference);
  EXPECT_TRUE(FreePages(database).empty());
  pages.Release(7);
  pages.Release(20000);
  pages.Release(39000);
  EXPECT_EQ(FreePages(database), (std::vector<std::uint32_t>{7, 20000, 39000}));
  // The catalog is still found and read.
  EXPECT_EQ(testing::ReadRows(database.File(), kJet3Layout, database.Codec(), database.Table(kMSysObjectsPage)).size(),
            8u);
}

TEST(PageWriterTest, OwnerMapsMoveTheirWindowOrBecomeReferenceMaps) {
  testing::MemoryDatabase database(kJet4Layout);
  PageWriter& pages = database.Writer();
  const RowPointer map = NewOwnerMap(pages);
  for (int i = 0; i < 700; ++i) pages.Allocate();
  // Nothing listed yet: the 512-page window moves to the page.
  pages.SetListed(map, 650, true);
  pages.SetListed(map, 700, true);
  EXPECT_EQ(ReadUsageMap(database.File(), kJet4Layout, map), (std::vector<std::uint32_t>{650, 700}));
  EXPECT_EQ(MapRow(database, map)[0], kUsageMapInline);
  // 20 and 650 cannot share one window: the map becomes a reference map.
  pages.SetListed(map, 20, true);
  pages.SetListed(map, 700, false);
  EXPECT_EQ(ReadUsageMap(database.File(), kJet4Layout, map), (std::vector<std::uint32_t>{20, 650}));
  EXPECT_EQ(MapRow(database, map)[0], kUsageMapReference);
  pages.SetListed(map, 655, true);
  EXPECT_EQ(ReadUsageMap(database.File(), kJet4Layout, map), (std::vector<std::uint32_t>{20, 650, 655}));
}

TEST(PageWriterTest, RollbackRestoresPagesAndForgetsAppendedOnes) {
  testing::MemoryDatabase database(kJet4Layout);
  PageWriter& pages = database.Writer();
  const RowPointer map = NewOwnerMap(pages);
  const std::vector<std::uint8_t> before = database.Image();
  const std::uint32_t count = pages.PageCount();

  const auto change = [&] {
    pages.BeginTransaction();
    pages.BeginTransaction();  // nested groups roll back with the outer one
    const MutablePageRef added = pages.Allocate();
    added->MutableData()[100] = 42;
    pages.SetListed(map, added->Number(), true);
    pages.Modify(map.page)->MutableData()[200] = 7;
    return added->Number();
  };
  change();
  pages.Rollback();
  pages.Rollback();
  EXPECT_EQ(pages.PageCount(), count);
  EXPECT_EQ(database.Image(), before);

  // Appended pages that reached the file stay, zeroed and marked free.
  const std::uint32_t added = change();
  database.File().Flush();
  pages.Rollback();
  pages.Rollback();
  const std::vector<std::uint8_t> after = database.Image();
  ASSERT_EQ(after.size(), before.size() + kJet4Layout.pageSize);
  // Pages 0 and 1 differ only in the bit that marks the appended page free.
  EXPECT_TRUE(std::equal(before.begin() + kJet4Layout.pageSize * 2, before.end(),
                         after.begin() + kJet4Layout.pageSize * 2));
  EXPECT_EQ(FreePages(database), std::vector<std::uint32_t>{added});
  EXPECT_TRUE(ReadUsageMap(database.File(), kJet4Layout, map).empty());
  EXPECT_EQ(database.File().Read(added)->Data()[100], 0);
}

}  // namespace
}  // namespace dao::jet
