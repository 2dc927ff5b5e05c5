// The index page codec against every index page Access wrote in the
// fixtures, and on pages that only fit with a shared prefix.
#include "dao/jet/index_page.h"

#include <gtest/gtest.h>

#include "dao/jet/format.h"
#include "dao/jet/jet_error.h"
#include "dao/jet/tests/fixture_files.h"

namespace dao::jet {
namespace {

void ExpectSameNode(const IndexNode& a, const IndexNode& b) {
  ASSERT_EQ(a.Count(), b.Count());
  EXPECT_EQ(a.leaf, b.leaf);
  EXPECT_EQ(a.previousPage, b.previousPage);
  EXPECT_EQ(a.nextPage, b.nextPage);
  EXPECT_EQ(a.tailPage, b.tailPage);
  EXPECT_EQ(a.tablePage, b.tablePage);
  for (std::size_t i = 0; i < a.Count(); ++i) {
    const Bytes x = a.Entry(i), y = b.Entry(i);
    EXPECT_TRUE(std::equal(x.begin(), x.end(), y.begin(), y.end())) << "entry " << i;
  }
}

TEST(IndexPageTest, AccessMadePagesSurviveParseAndWrite) {
  const auto files = testing::FixtureDatabases();
  if (files.empty()) GTEST_SKIP() << "fixture folder " NUTARO_FIXTURES_DIR " is absent";
  int pages = 0;
  for (const auto& path : files) {
    const auto bytes = testing::ReadFileBytes(path);
    const Layout& layout = bytes[kVersionOffset] == kJet4VersionByte ? kJet4Layout : kJet3Layout;
    for (std::size_t offset = 0; offset + layout.pageSize <= bytes.size(); offset += layout.pageSize) {
      const Bytes page(bytes.data() + offset, layout.pageSize);
      if (page[0] != 0x03 && page[0] != 0x04) continue;
      SCOPED_TRACE(path.filename().string() + " page " + std::to_string(offset / layout.pageSize));
      const IndexNode node = IndexNode::Parse(page, layout);
      ASSERT_TRUE(node.Fits(layout));
      std::vector<std::uint8_t> written(layout.pageSize);
      node.Write(written, layout);
      ExpectSameNode(IndexNode::Parse(written, layout), node);
      EXPECT_EQ(LoadU16(&written[kDataFreeSpaceOffset]), LoadU16(&page[kDataFreeSpaceOffset]));
      // The engine's choice of prefix is ours too, so the used part is
      // byte-identical.
      const std::size_t used = layout.pageSize - LoadU16(&page[kDataFreeSpaceOffset]);
      const auto diff = std::mismatch(page.begin() + layout.indexPrefixLengthOffset, page.begin() + used,
                                      written.begin() + layout.indexPrefixLengthOffset);
      EXPECT_EQ(diff.first - page.begin(), static_cast<long>(used));
      ++pages;
    }
  }
  EXPECT_GT(pages, 250);
}

TEST(IndexPageTest, FullPagesShareAPrefixAndKeepTheirOrder) {
  const Layout& layout = kJet4Layout;
  IndexNode node;
  node.tablePage = 42;
  std::vector<std::uint8_t> entry = {0x7F, 0x80, 0x00, 0x00, 0x00, 0, 0, 0, 0};
  std::uint32_t n = 0;
  while (true) {
    entry[3] = static_cast<std::uint8_t>(n >> 8);
    entry[4] = static_cast<std::uint8_t>(n);
    StoreIndexRowPointer(&entry[5], 100 + n / 50, static_cast<std::uint8_t>(n % 50));
    node.Insert(node.Count(), entry);
    if (!node.Fits(layout)) break;
    ++n;
  }
  // 9-byte entries alone would stop at 401; the shared "7F 80 00" lets more in.
  EXPECT_GT(n, 500u);
  // One entry too many is refused, not written past the page's end.
  std::vector<std::uint8_t> page(layout.pageSize);
  EXPECT_THROW(node.Write(page, layout), JetError);
  node.Erase(node.Count() - 1);
  node.Write(page, layout);
  EXPECT_EQ(LoadU16(&page[layout.indexPrefixLengthOffset]), 3);
  const IndexNode back = IndexNode::Parse(page, layout);
  ExpectSameNode(back, node);
  EXPECT_EQ(back.LowerBound(back.SortPart(17)), 17u);
  EXPECT_EQ(LoadIndexRowPointer(back.Entry(60).data() + 5), (RowPointer{101, 10}));
}

TEST(IndexPageTest, DamagedPagesAreRefused) {
  const Layout& layout = kJet3Layout;
  std::vector<std::uint8_t> page(layout.pageSize);
  page[0] = 0x04;
  page[layout.indexMaskOffset] = 0x02;  // a 2-byte entry: shorter than a row pointer
  EXPECT_THROW(IndexNode::Parse(page, layout), JetError);
  page[0] = 0x01;
  EXPECT_THROW(IndexNode::Parse(page, layout), JetError);
}

}  // namespace
}  // namespace dao::jet
