// Property blobs written by us read back as Access's: every blob of the
// fixtures, parsed and written again, holds the same properties (Access also
// keeps names no value uses any more, so the bytes may be shorter).
#include "dao/jet/property_blob_writer.h"

#include <gtest/gtest.h>

#include "dao/jet/catalog.h"
#include "dao/jet/tests/fixture_files.h"
#include "dao/jet/tests/write_test_support.h"

namespace dao::jet {
namespace {

TEST(PropertyBlobWriterTest, AccessBlobsKeepTheirProperties) {
  const auto files = testing::FixtureDatabases();
  if (files.empty()) GTEST_SKIP() << "fixture folder " NUTARO_FIXTURES_DIR " is absent";
  int blobs = 0, identical = 0;
  for (const auto& path : files) {
    std::vector<std::uint8_t> bytes = testing::ReadFileBytes(path);
    const Layout& layout = bytes[kVersionOffset] == kJet4VersionByte ? kJet4Layout : kJet3Layout;
    testing::MemoryDatabase database(layout, std::move(bytes));
    const TableDefinition objects = database.Table(kMSysObjectsPage);
    const std::size_t lvProp = static_cast<std::size_t>(&CatalogColumn(objects, "LvProp") - objects.columns.data());
    for (const auto& [location, values] : testing::ReadRows(database.File(), layout, database.Codec(), objects)) {
      const platform::Bytes* blob = values[lvProp].BytesIf();
      if (blob == nullptr || blob->empty()) continue;
      SCOPED_TRACE(path.filename().string() + " row " + std::to_string(location));
      const PropertyBlob parsed = ParsePropertyBlob(*blob, database.Codec());
      const std::vector<std::uint8_t> written = SerializePropertyBlob(parsed, database.Codec());
      ++blobs;
      if (written == *blob) ++identical;
      EXPECT_LE(written.size(), blob->size());
      const PropertyBlob again = ParsePropertyBlob(written, database.Codec());
      EXPECT_EQ(SerializePropertyBlob(again, database.Codec()), written);
      ASSERT_EQ(again.groups.size(), parsed.groups.size());
      for (std::size_t g = 0; g < parsed.groups.size(); ++g) {
        ASSERT_EQ(again.groups[g].properties.size(), parsed.groups[g].properties.size());
        for (std::size_t p = 0; p < parsed.groups[g].properties.size(); ++p) {
          EXPECT_EQ(again.groups[g].properties[p].name, parsed.groups[g].properties[p].name);
          EXPECT_EQ(again.groups[g].properties[p].value, parsed.groups[g].properties[p].value);
        }
      }
    }
  }
  EXPECT_GT(blobs, 50);
  EXPECT_GT(identical, blobs / 3);  // those whose name list holds no stale names
}

TEST(PropertyBlobWriterTest, RequiredIsAddedToItsColumn) {
  const TextCodec codec(Version::kJet4, kDefaultCodePage);
  PropertyBlob blob;
  SetProperty(blob, "Kcal", {"Required", static_cast<std::uint8_t>(ColumnType::kBoolean), true, platform::Variant(true)});
  SetProperty(blob, "kcal", {"required", static_cast<std::uint8_t>(ColumnType::kBoolean), true, platform::Variant(false)});
  SetProperty(blob, "", {"Orientation", static_cast<std::uint8_t>(ColumnType::kByte), false, platform::Variant(std::uint8_t{0})});
  const PropertyBlob parsed = ParsePropertyBlob(SerializePropertyBlob(blob, codec), codec);
  ASSERT_EQ(parsed.ColumnProperties("KCAL").size(), 1u);
  EXPECT_EQ(parsed.ColumnProperties("KCAL")[0].value, platform::Variant(false));
  EXPECT_TRUE(parsed.ColumnProperties("KCAL")[0].ddl);
  EXPECT_EQ(parsed.ObjectProperties().size(), 1u);
}

}  // namespace
}  // namespace dao::jet
