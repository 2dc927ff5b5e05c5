#include "dao/jet/tests/file_checks.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "dao/jet/jet_database.h"
#include "dao/jet/table_scanner.h"
#include "dao/jet/tests/fixture_files.h"
#include "dao/jet/usage_map.h"

namespace dao::jet::testing {
namespace {

constexpr std::uint32_t kIndexTablePageOffset = 0x04;

// The usage maps that list a table's pages: its data pages, the pages of
// each index and the long-value pages of each column.
struct TableMaps {
  std::set<std::uint32_t> data;
  std::set<std::uint32_t> index;
  std::set<std::uint32_t> longValues;
};

std::set<std::uint32_t> Listed(PageFile& pages, const Layout& layout, RowPointer map) {
  if (map.IsNull()) return {};
  const std::vector<std::uint32_t> listed = ReadUsageMap(pages, layout, map);
  return {listed.begin(), listed.end()};
}

void ExpectDataPageLayout(Bytes page, std::uint32_t number, const Layout& layout) {
  const std::uint16_t slots = LoadU16(&page[layout.dataRowCountOffset]);
  EXPECT_LE(slots, kMaxRowsPerPage) << "page " << number;
  if (slots > kMaxRowsPerPage) return;
  // Rows lie below one another in slot order; a deleted row may have
  // shrunk to nothing, as Access leaves many.
  std::uint32_t previous = layout.pageSize;
  for (std::uint16_t slot = 0; slot < slots; ++slot) {
    const std::uint16_t entry = LoadU16(&page[layout.dataHeaderSize + kRowSlotSize * slot]);
    const std::uint32_t start = entry & kRowOffsetMask;
    const bool deleted = (entry & kRowDeletedFlags) == kRowDeletedFlags;
    EXPECT_TRUE(deleted ? start <= previous : start < previous)
        << "page " << number << ": row " << slot << " does not start below the row before";
    previous = start;
  }
  const std::uint32_t tableEnd = layout.dataHeaderSize + kRowSlotSize * slots;
  const std::uint32_t lowest = slots == 0 ? layout.pageSize : previous;
  ASSERT_GE(lowest, tableEnd) << "page " << number << ": rows overlap the slot table";
  EXPECT_EQ(LoadU16(&page[kDataFreeSpaceOffset]), lowest - tableEnd) << "page " << number << ": free space";
}

}  // namespace

void ExpectFileKeepsTheChecklist(const std::string& path) {
  std::vector<std::uint8_t> bytes = ReadFileBytes(path);
  JetDatabase database(std::make_unique<MemoryStorage>(bytes, false));
  const Layout& layout = database.GetLayout();
  PageFile& pages = database.Pages();
  EXPECT_EQ(bytes.size() % layout.pageSize, 0u) << path << " ends inside a page";

  const std::set<std::uint32_t> free = Listed(pages, layout, {kGlobalUsageMapPage, 0});
  std::map<std::uint32_t, TableMaps> tables;  // by tdef page
  std::set<std::uint32_t> inUse = {0, kGlobalUsageMapPage};
  for (const CatalogEntry& entry : database.Catalog()) {
    if (!entry.IsLocalTable()) continue;
    const auto table = database.Table(entry.id);
    TableMaps& maps = tables[table->page];
    maps.data = Listed(pages, layout, table->ownedPagesMap);
    for (const RealIndex& index : table->realIndexes) maps.index.merge(Listed(pages, layout, index.usageMap));
    for (const ColumnDefinition& column : table->columns)
      if (column.IsLongValue()) maps.longValues.merge(Listed(pages, layout, column.ownedPagesMap));
    inUse.insert(table->page);
    inUse.insert(table->continuationPages.begin(), table->continuationPages.end());
    for (const RowPointer map : {table->ownedPagesMap, table->freePagesMap}) inUse.insert(map.page);
    inUse.insert(maps.data.begin(), maps.data.end());
    inUse.insert(maps.index.begin(), maps.index.end());
    inUse.insert(maps.longValues.begin(), maps.longValues.end());

    // Access itself lets the counts of some system tables lag behind.
    if (entry.IsSystemObject() && entry.name != "MSysObjects") continue;
    std::uint32_t live = 0;
    TableScanner scanner(pages, layout, *table);
    while (scanner.Next()) ++live;
    EXPECT_EQ(table->rowCount, live) << "table " << entry.name << ": the stated row count";
  }

  for (std::uint32_t number = 0; number < pages.PageCount(); ++number) {
    const Bytes page = pages.Read(number)->Data();
    const auto type = static_cast<PageType>(page[kPageTypeOffset]);
    if (inUse.contains(number)) EXPECT_FALSE(free.contains(number)) << "page " << number << " is in use but marked free";
    if (type == PageType::kDatabaseDefinition || free.contains(number)) continue;
    if (static_cast<std::uint8_t>(type) <= static_cast<std::uint8_t>(PageType::kUsageBitmap))
      EXPECT_EQ(page[kPageMarkerOffset], kPageMarker) << "page " << number;
    if (type == PageType::kData) {
      ExpectDataPageLayout(page, number, layout);
      const std::uint32_t owner = LoadU32(&page[kDataOwnerOffset]);
      // (Long-value pages in no column's map are left alone: Access leaves
      // such pages behind itself.)
      if (const auto table = tables.find(owner); table != tables.end())
        EXPECT_TRUE(table->second.data.contains(number)) << "data page " << number << " is not in its table's map";
    } else if (type == PageType::kIndexIntermediate || type == PageType::kIndexLeaf) {
      const auto table = tables.find(LoadU32(&page[kIndexTablePageOffset]));
      EXPECT_TRUE(table != tables.end() && table->second.index.contains(number))
          << "index page " << number << " is not in an index map of its table";
    }
  }
}

}  // namespace dao::jet::testing
