// New databases: the engine's own layout (checked against the empty
// database Access made), readable by the independent readers, and created
// atomically next to existing files.
#include "dao/jet/new_database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>
#include <fstream>

#include "dao/jet/bytes.h"
#include "dao/jet/format.h"
#include "dao/jet/jet_error.h"
#include "dao/jet/tests/external_readers.h"
#include "dao/jet/tests/fixture_files.h"
#include "platform/testing/temp_folder.h"

namespace dao::jet {
namespace {

namespace fs = std::filesystem;

constexpr double kNow = 45000.25;  // 2023-03-15 06:00

class NewDatabaseTest : public ::testing::Test {
 protected:
  platform::testing::TempFolder folder_;
};

Bytes PageOf(const std::vector<std::uint8_t>& file, std::uint32_t page, const Layout& layout) {
  return Bytes(file).subspan(static_cast<std::size_t>(page) * layout.pageSize, layout.pageSize);
}

// Byte positions where a page of ours differs from the engine's; the engine
// leaves stale bytes in unused fields, which we write as zero.
std::vector<std::size_t> Differences(Bytes ours, Bytes engines) {
  std::vector<std::size_t> at;
  for (std::size_t i = 0; i < ours.size(); ++i)
    if (ours[i] != engines[i] && ours[i] != 0) at.push_back(i);
  return at;
}

TEST_F(NewDatabaseTest, Jet4LayoutIsTheEnginesOwn) {
  const auto template2000 = testing::ReadFileBytes(fs::path(NUTARO_FIXTURES_DIR) / "access/v2000-empty.mdb");
  if (template2000.empty()) GTEST_SKIP() << "fixture folder " NUTARO_FIXTURES_DIR " is absent";
  const Layout& layout = kJet4Layout;
  const std::vector<std::uint8_t> image = BuildNewDatabase(layout, kNow);
  ASSERT_EQ(image.size(), 16u * layout.pageSize);
  // Page 0 (masked header, password mask, creation date) is the template's.
  EXPECT_EQ(Differences(PageOf(image, 0, layout), PageOf(template2000, 0, layout)), std::vector<std::size_t>{});
  // The system tables' definitions differ only in the catalog's row counts
  // and distinct-key statistics (Access added ten objects of its own).
  const std::vector<std::size_t> counts = {layout.tdefRowCountOffset, layout.tdefHeaderSize + 4,
                                           layout.tdefHeaderSize + layout.realIndexStatisticsSize + 4};
  EXPECT_EQ(Differences(PageOf(image, 2, layout), PageOf(template2000, 2, layout)), counts);
  EXPECT_EQ(Differences(PageOf(image, 3, layout), PageOf(template2000, 3, layout)),
            (std::vector<std::size_t>{layout.tdefRowCountOffset, layout.tdefHeaderSize + 4}));
  for (std::uint32_t page : {4u, 5u, 10u, 11u, 12u, 13u})
    EXPECT_EQ(Differences(PageOf(image, page, layout), PageOf(template2000, page, layout)),
              std::vector<std::size_t>{})
        << "page " << page;
  // The global usage map lists pages 0-15 as used, the rest as free.
  const Bytes map = PageOf(image, 1, layout).subspan(layout.pageSize - 64);
  EXPECT_EQ(map[0], 0x00);
  EXPECT_EQ(map[1], 0x00);
  EXPECT_EQ(map[2], 0xFF);
}

TEST_F(NewDatabaseTest, Jet3LayoutMatchesAccess97) {
  const auto access97 = testing::ReadFileBytes(fs::path(NUTARO_FIXTURES_DIR) / "access/v1997-queryTest.mdb");
  if (access97.empty()) GTEST_SKIP() << "fixture folder " NUTARO_FIXTURES_DIR " is absent";
  const Layout& layout = kJet3Layout;
  const std::vector<std::uint8_t> image = BuildNewDatabase(layout, kNow);
  ASSERT_EQ(image.size(), 20u * layout.pageSize);
  // Only the trailer word Access bumps in used files differs on page 0.
  EXPECT_EQ(Differences(PageOf(image, 0, layout), PageOf(access97, 0, layout)), std::vector<std::size_t>{});
  // MSysACEs differs only in its row count and distinct ObjectIds.
  EXPECT_EQ(Differences(PageOf(image, 3, layout), PageOf(access97, 3, layout)),
            (std::vector<std::size_t>{layout.tdefRowCountOffset, layout.tdefHeaderSize + 4}));
  for (std::uint32_t page : {5u, 8u, 10u, 15u, 16u, 17u})
    EXPECT_EQ(Differences(PageOf(image, page, layout), PageOf(access97, page, layout)), std::vector<std::size_t>{})
        << "page " << page;
}

TEST_F(NewDatabaseTest, IndependentReadersSeeTheCatalog) {
  if (!testing::HaveMdbTools() || !testing::HaveMdbReader()) GTEST_SKIP() << "mdbtools or mdb-reader missing";
  for (const Layout* layout : {&kJet4Layout, &kJet3Layout}) {
    const std::string file = folder_.File(layout->IsJet4() ? "new4.mdb" : "new3.mdb");
    CreateDatabaseFile(file, *layout, kNow);
    EXPECT_EQ(testing::MdbTables(file, true), "MSysObjects\nMSysACEs\nMSysQueries\nMSysRelationships\n");
    EXPECT_EQ(testing::MdbTables(file, false), "");
    const auto catalog = testing::MdbExport(file, "MSysObjects");
    ASSERT_TRUE(catalog);
    EXPECT_NE(catalog->find("251658241,251658240,\"Tables\",3,\"2023-03-15 06:00:00\""), std::string::npos)
        << *catalog;
    EXPECT_EQ(std::count(catalog->begin(), catalog->end(), '\n'), 9);
    const auto aces = testing::MdbReaderJson(file, "MSysACEs");
    ASSERT_TRUE(aces);
    EXPECT_NE(aces->find("\"rowCount\":16"), std::string::npos) << *aces;
    EXPECT_NE(aces->find(layout->IsJet4() ? "[251658243,\"a733\",1048575,true]" : "[251658243,\"0201\",1048575,true]"),
              std::string::npos)
        << *aces;
  }
}

TEST_F(NewDatabaseTest, ExistingFilesAreRefusedAndFailuresLeaveNothing) {
  const fs::path existing = folder_.File("existing.mdb");
  std::ofstream(existing) << "keep me";
  try {
    CreateDatabaseFile(existing.string(), kJet4Layout, kNow);
    FAIL() << "an existing file was overwritten";
  } catch (const JetError& error) {
    EXPECT_EQ(error.Number(), kErrDatabaseExists);
    EXPECT_STREQ(error.what(), "Database already exists.");
  }
  EXPECT_EQ(fs::file_size(existing), 7u);

  EXPECT_THROW(CreateDatabaseFile(folder_.File("missing/new.mdb"), kJet4Layout, kNow), JetError);
  EXPECT_EQ(folder_.Listing().size(), 1u);

  CreateDatabaseFile(folder_.File("new.mdb"), kJet3Layout, kNow);
  EXPECT_EQ(fs::file_size(folder_.File("new.mdb")), 20u * kJet3Layout.pageSize);
  EXPECT_EQ(folder_.Listing().size(), 2u);
}

}  // namespace
}  // namespace dao::jet
