// The structures that point elsewhere: long values in their three storages,
// overflow rows, usage maps, continued table definitions and property
// blobs, each sound and each damaged in the way that would hang or overrun
// a careless reader (loops, missing rows, counts beyond the data).

#include <gtest/gtest.h>

#include <filesystem>

#include "dao/jet/data_page.h"
#include "dao/jet/data_page_writer.h"
#include "dao/jet/jet_database.h"
#include "dao/jet/long_value.h"
#include "dao/jet/property_blob.h"
#include "dao/jet/tests/fixture_files.h"
#include "dao/jet/usage_map.h"

namespace dao::jet {
namespace {

const Layout& kLayout = kJet4Layout;

std::vector<std::uint8_t> Text(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<std::uint8_t> Pointer(std::uint32_t page, std::uint8_t row) {
  std::vector<std::uint8_t> bytes(4);
  StoreU32(bytes.data(), RowPointer{page, row}.ToU32());
  return bytes;
}

std::vector<std::uint8_t> Join(std::vector<std::uint8_t> a, const std::vector<std::uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A Jet 4 file of `count` empty pages into which tests put data pages.
class Pages {
 public:
  explicit Pages(std::uint32_t count) : bytes_(static_cast<std::size_t>(count) * kLayout.pageSize, 0) {}

  // Makes `page` a data page of `owner` holding `rows` (with slot flags).
  void DataPage(std::uint32_t page, std::uint32_t owner,
                const std::vector<std::pair<std::vector<std::uint8_t>, std::uint16_t>>& rows) {
    const MutableBytes bytes = Page(page);
    InitDataPage(bytes, owner, kLayout);
    for (const auto& [row, flags] : rows) ASSERT_TRUE(AddRow(bytes, row, kLayout, flags).has_value());
  }
  MutableBytes Page(std::uint32_t page) {
    return MutableBytes(bytes_.data() + static_cast<std::size_t>(page) * kLayout.pageSize, kLayout.pageSize);
  }
  PageFile File() const { return PageFile(std::make_unique<MemoryStorage>(bytes_, false), kLayout.pageSize); }

 private:
  std::vector<std::uint8_t> bytes_;
};

std::vector<std::uint8_t> LongValueHeader(std::uint32_t length, std::uint32_t kind, RowPointer first) {
  std::vector<std::uint8_t> header(kLongValueHeaderSize, 0);
  StoreU32(header.data(), length | kind);
  StoreU32(header.data() + kLongValuePointerOffset, first.ToU32());
  return header;
}

std::string ReadLong(PageFile& file, const std::vector<std::uint8_t>& field) {
  std::vector<std::uint8_t> out;
  ReadLongValue(file, kLayout, field, out);
  return std::string(out.begin(), out.end());
}

TEST(LongValues, InlineSingleRowAndChainedStorage) {
  Pages pages(8);
  pages.DataPage(2, kLongValueOwner, {{Text("hello world"), 0}});
  pages.DataPage(3, kLongValueOwner, {{Join(Pointer(4, 0), Text("ab")), 0}});
  pages.DataPage(4, kLongValueOwner, {{Join(Pointer(0, 0), Text("cdEXTRA")), 0}});
  PageFile file = pages.File();
  EXPECT_EQ(ReadLong(file, Join(LongValueHeader(3, kLongValueInline, {}), Text("abc"))), "abc");
  EXPECT_EQ(ReadLong(file, LongValueHeader(5, kLongValueSingleRow, {2, 0})), "hello");
  EXPECT_EQ(ReadLong(file, LongValueHeader(4, kLongValueChain, {3, 0})), "abcd");
  EXPECT_EQ(ReadLong(file, LongValueHeader(0, kLongValueInline, {})), "");
  EXPECT_EQ(LongValueLength(LongValueHeader(4, kLongValueChain, {3, 0})), 4u);
}

TEST(LongValues, LoopsShortChainsAndBadPointersAreDamage) {
  Pages pages(8);
  pages.DataPage(2, kLongValueOwner, {{Join(Pointer(3, 0), Text("x")), 0}});
  pages.DataPage(3, kLongValueOwner, {{Join(Pointer(2, 0), Text("y")), 0}, {Text("z"), kRowDeletedFlags}});
  pages.DataPage(5, kLongValueOwner, {{Join(Pointer(0, 0), Text("end")), 0}});
  PageFile file = pages.File();
  EXPECT_THROW(ReadLong(file, LongValueHeader(100, kLongValueChain, {2, 0})), JetError);  // 2 -> 3 -> 2 ...
  EXPECT_THROW(ReadLong(file, LongValueHeader(10, kLongValueChain, {5, 0})), JetError);   // ends after 3 bytes
  EXPECT_THROW(ReadLong(file, LongValueHeader(1, kLongValueSingleRow, {3, 1})), JetError);  // deleted
  EXPECT_THROW(ReadLong(file, LongValueHeader(1, kLongValueSingleRow, {3, 7})), JetError);  // no such row
  EXPECT_THROW(ReadLong(file, LongValueHeader(1, kLongValueSingleRow, {900, 0})), JetError);  // no such page
  EXPECT_THROW(ReadLong(file, LongValueHeader(10, kLongValueSingleRow, {5, 0})), JetError);  // row too short
  EXPECT_THROW(ReadLong(file, LongValueHeader(1, kLongValueKindMask, {2, 0})), JetError);   // unknown kind
  EXPECT_THROW(ReadLong(file, Join(LongValueHeader(9, kLongValueInline, {}), Text("abc"))), JetError);
  EXPECT_THROW(ReadLong(file, LongValueHeader(kLongValueLengthMask, kLongValueChain, {2, 0})), JetError);
  EXPECT_THROW(ReadLong(file, Text("short")), JetError);
}

TEST(DataRows, OverflowPointersAreFollowedButNotForever) {
  Pages pages(8);
  pages.DataPage(2, 2, {{Pointer(3, 0), kRowOverflowFlag}, {Text("gone"), kRowDeletedFlags},
                        {Pointer(2, 3), kRowOverflowFlag}, {Pointer(2, 2), kRowOverflowFlag}});
  pages.DataPage(3, 2, {{Text("moved row"), kRowNotHereFlag}});
  pages.DataPage(4, 9, {{Text("other table"), 0}});
  PageFile file = pages.File();
  const std::optional<RowRef> moved = ReadRow(file, kLayout, {2, 0}, 2);
  ASSERT_TRUE(moved);
  EXPECT_EQ(std::string(moved->bytes.begin(), moved->bytes.end()), "moved row");
  EXPECT_FALSE(ReadRow(file, kLayout, {2, 1}, 2));
  EXPECT_THROW(ReadRow(file, kLayout, {2, 2}, 2), JetError);  // 2 -> 3 -> 2 -> ...
  EXPECT_THROW(ReadRow(file, kLayout, {3, 0}, 2), JetError);  // moved data is not a row of its own
  EXPECT_THROW(ReadRow(file, kLayout, {4, 0}, 2), JetError);  // another table's page
}

TEST(DataRows, PagesWhoseHeadersLieAreNotWrittenPast) {
  Pages pages(1);
  pages.DataPage(0, 2, {{Text("first"), 0}, {Text("second"), 0}});
  const MutableBytes page = pages.Page(0);
  const std::size_t room = kLayout.pageSize - kLayout.dataHeaderSize - 2 * kRowSlotSize - 11;
  // The free space the header states is not taken on trust.
  StoreU16(&page[kDataFreeSpaceOffset], 0xFFFF);
  EXPECT_EQ(DataPageFreeSpace(page, kLayout), room);
  EXPECT_FALSE(AddRow(page, std::vector<std::uint8_t>(room, 1), kLayout).has_value());
  // Rows reaching into the slot table or beyond the page, and slot counts
  // beyond any page's, are damage.
  const std::uint16_t lowestSlot = LoadU16(&page[kLayout.dataHeaderSize + kRowSlotSize]);
  StoreU16(&page[kLayout.dataHeaderSize + kRowSlotSize], 0x1F00);
  EXPECT_THROW(AddRow(page, Text("x"), kLayout), JetError);
  StoreU16(&page[kLayout.dataHeaderSize + kRowSlotSize], 2);
  EXPECT_THROW(AddRow(page, Text("x"), kLayout), JetError);
  StoreU16(&page[kLayout.dataHeaderSize + kRowSlotSize], lowestSlot);
  StoreU16(&page[kLayout.dataRowCountOffset], 300);
  EXPECT_THROW(ReplaceRow(page, 0, Text("x"), 0, kLayout), JetError);
  EXPECT_THROW(AddRow(page, Text("x"), kLayout), JetError);
}

TEST(UsageMaps, InlineAndReferenceMapsListPagesInsideTheFile) {
  Pages pages(40);
  std::vector<std::uint8_t> inlineMap = {kUsageMapInline, 8, 0, 0, 0, 0x05, 0x00, 0x80, 0xFF, 0xFF, 0xFF, 0xFF};
  std::vector<std::uint8_t> referenceMap = Join({kUsageMapReference}, Pointer(0, 0));
  StoreU32(referenceMap.data() + 1, 5);  // bitmap page 5 covers pages 0..32735
  pages.DataPage(1, kUsageMapHolderOwner, {{inlineMap, 0}, {referenceMap, 0}, {{0x07, 1, 2}, 0}});
  const MutableBytes bitmap = pages.Page(5);
  bitmap[0] = static_cast<std::uint8_t>(PageType::kUsageBitmap);
  bitmap[kUsageBitmapPageHeaderSize] = 0x06;      // pages 1, 2
  bitmap[kUsageBitmapPageHeaderSize + 4] = 0x01;  // page 32
  PageFile file = pages.File();
  // Pages 8, 10, 31 and the set bits from 32 on, of which only 32..39 exist.
  EXPECT_EQ(ReadUsageMap(file, kLayout, {1, 0}),
            (std::vector<std::uint32_t>{8, 10, 31, 32, 33, 34, 35, 36, 37, 38, 39}));
  EXPECT_EQ(ReadUsageMap(file, kLayout, {1, 1}), (std::vector<std::uint32_t>{1, 2, 32}));
  EXPECT_THROW(ReadUsageMap(file, kLayout, {1, 2}), JetError);  // unknown map type
  EXPECT_THROW(ReadUsageMap(file, kLayout, {1, 3}), JetError);  // no such row
  bitmap[0] = static_cast<std::uint8_t>(PageType::kData);
  PageFile changed = pages.File();
  EXPECT_THROW(ReadUsageMap(changed, kLayout, {1, 1}), JetError);  // not a bitmap page
}

class FixtureTable : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::filesystem::path path = std::filesystem::path(NUTARO_FIXTURES_DIR) / "nutaro/nuta4-basic.mdb";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "fixture folder " << NUTARO_FIXTURES_DIR << " is absent";
    bytes_ = testing::ReadFileBytes(path);
    const JetDatabase database(std::make_unique<MemoryStorage>(bytes_, false));
    tdefPage_ = database.FindTable("nuta")->id;
  }

  MutableBytes Tdef() { return MutableBytes(bytes_.data() + static_cast<std::size_t>(tdefPage_) * kLayout.pageSize, kLayout.pageSize); }
  TableDefinition Read() {
    PageFile file(std::make_unique<MemoryStorage>(bytes_, false), kLayout.pageSize);
    return ReadTableDefinition(file, kLayout, TextCodec(Version::kJet4, 1252), tdefPage_);
  }

  std::vector<std::uint8_t> bytes_;
  std::uint32_t tdefPage_ = 0;
};

TEST_F(FixtureTable, DefinitionsThatLoopOrOverrunAreDamage) {
  const TableDefinition sound = Read();
  EXPECT_EQ(sound.columns.size(), 8u);
  EXPECT_EQ(sound.columns[0].name, "Nahrungsmittel");
  EXPECT_EQ(sound.rowCount, 28u);

  StoreU32(Tdef().data() + kTdefLengthOffset, kLayout.pageSize + 100);  // claims a second page...
  StoreU32(Tdef().data() + kTdefNextPageOffset, tdefPage_);             // ...which is itself
  EXPECT_THROW(Read(), JetError);
  StoreU32(Tdef().data() + kTdefNextPageOffset, 0);  // ...which is missing
  EXPECT_THROW(Read(), JetError);
  StoreU32(Tdef().data() + kTdefLengthOffset, sound.length);

  StoreU16(Tdef().data() + kLayout.tdefColumnCountOffset, 0xFFFF);  // more columns than bytes
  EXPECT_THROW(Read(), JetError);
  StoreU16(Tdef().data() + kLayout.tdefColumnCountOffset, 8);
  StoreU32(Tdef().data() + kLayout.tdefRealIndexCountOffset, 0x7FFFFFFF);
  EXPECT_THROW(Read(), JetError);
}

// A Jet 4 property blob with a name list and one column chunk.
std::vector<std::uint8_t> Blob(bool truncate) {
  const TextCodec codec(Version::kJet4, 1252);
  std::vector<std::uint8_t> names;
  for (const char* name : {"Required", "DefaultValue"}) {
    const std::vector<std::uint8_t> encoded = codec.EncodeName(name);
    names.push_back(static_cast<std::uint8_t>(encoded.size()));
    names.push_back(0);
    names.insert(names.end(), encoded.begin(), encoded.end());
  }
  const auto chunk = [](std::uint16_t type, const std::vector<std::uint8_t>& body) {
    std::vector<std::uint8_t> out(kPropertyChunkHeaderSize);
    StoreU32(out.data(), static_cast<std::uint32_t>(out.size() + body.size()));
    StoreU16(out.data() + 4, type);
    return Join(out, body);
  };
  const auto value = [](std::uint8_t type, std::uint16_t name, const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> out(kPropertyValueHeaderSize);
    StoreU16(out.data(), static_cast<std::uint16_t>(out.size() + data.size()));
    out[2] = 1;
    out[3] = type;
    StoreU16(out.data() + 4, name);
    StoreU16(out.data() + 6, static_cast<std::uint16_t>(data.size()));
    return Join(out, data);
  };
  const std::vector<std::uint8_t> column = codec.EncodeName("Kcal");
  std::vector<std::uint8_t> body(6);
  StoreU32(body.data(), static_cast<std::uint32_t>(6 + column.size()));
  StoreU16(body.data() + 4, static_cast<std::uint16_t>(column.size()));
  body = Join(body, column);
  body = Join(body, value(static_cast<std::uint8_t>(ColumnType::kBoolean), 0, {1}));
  body = Join(body, value(static_cast<std::uint8_t>(ColumnType::kText), 1, codec.EncodeName("0")));
  std::vector<std::uint8_t> blob = Join(Text(std::string(kJet4PropertyMagic)), chunk(kPropertyChunkNames, names));
  blob = Join(blob, chunk(kPropertyChunkColumn, body));
  if (truncate) blob.resize(blob.size() - 3);
  return blob;
}

TEST(PropertyBlobs, ColumnPropertiesAreFoundAndOverrunsAreDamage) {
  const TextCodec codec(Version::kJet4, 1252);
  const PropertyBlob blob = ParsePropertyBlob(Blob(false), codec);
  const std::vector<StoredProperty>& kcal = blob.ColumnProperties("KCAL");
  ASSERT_EQ(kcal.size(), 2u);
  EXPECT_EQ(kcal[0].name, "Required");
  EXPECT_EQ(kcal[0].value, platform::Variant(true));
  EXPECT_TRUE(kcal[0].ddl);
  EXPECT_EQ(kcal[1].value, platform::Variant("0"));
  EXPECT_TRUE(blob.ObjectProperties().empty());
  EXPECT_TRUE(blob.ColumnProperties("Fett").empty());
  EXPECT_THROW(ParsePropertyBlob(Blob(true), codec), JetError);
  EXPECT_THROW(ParsePropertyBlob(Text("KKD"), codec), JetError);
}

}  // namespace
}  // namespace dao::jet
