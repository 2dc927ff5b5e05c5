// The page file and page 0: the header mask, version detection, the
// database password, write-back caching, and failing or short storage.

#include <gtest/gtest.h>

#include <filesystem>

#include "dao/jet/database_header.h"
#include "dao/jet/jet_database.h"
#include "dao/jet/page_file.h"
#include "dao/jet/rc4.h"
#include "dao/jet/tests/fixture_files.h"
#include "dao/jet/tests/jet_error_of.h"
#include "dao/jet/text_codec.h"
#include "platform/testing/temp_folder.h"

namespace dao::jet {
namespace {

using testing::JetErrorOf;

// The bytes of a fixture file; empty when the fixture folder is absent.
std::vector<std::uint8_t> FixtureBytes(const std::string& relative) {
  return testing::ReadFileBytes(std::filesystem::path(NUTARO_FIXTURES_DIR) / relative);
}

// A storage whose reads fail from a given offset on, like a disk error.
class FailingStorage final : public Storage {
 public:
  FailingStorage(std::vector<std::uint8_t> bytes, std::uint64_t failFrom)
      : memory_(std::move(bytes), false), failFrom_(failFrom) {}
  std::uint64_t Size() const override { return memory_.Size(); }
  void Read(std::uint64_t offset, MutableBytes out) override {
    if (offset + out.size() > failFrom_) throw JetError(kErrDiskError, "Disk or network error.");
    memory_.Read(offset, out);
  }
  void Commit(std::span<const Extent> extents) override { memory_.Commit(extents); }
  bool IsWritable() const override { return false; }

 private:
  MemoryStorage memory_;
  std::uint64_t failFrom_;
};

TEST(HeaderMask, IsTheRc4KeyStreamOfTheFixedKey) {
  const std::array<std::uint8_t, 4> key = {0xC7, 0xDA, 0x39, 0x6B};
  std::array<std::uint8_t, kHeaderMask.size()> stream{};
  Rc4Apply(key, stream);
  EXPECT_EQ(stream, kHeaderMask);
}

TEST(DatabaseHeader, VersionsAreRecognisedAndLaterFormatsRefused) {
  std::vector<std::uint8_t> start(kVersionProbeSize, 0);
  std::copy(kSignature.begin(), kSignature.end(), start.begin() + kSignatureOffset);
  start[kVersionOffset] = kJet3VersionByte;
  EXPECT_EQ(DetectVersion(start), Version::kJet3);
  start[kVersionOffset] = kJet4VersionByte;
  EXPECT_EQ(DetectVersion(start), Version::kJet4);
  start[kVersionOffset] = 0x03;  // Access 2010
  EXPECT_EQ(JetErrorOf([&] { DetectVersion(start); }), kErrUnrecognizedFormat);
  start[kVersionOffset] = kJet4VersionByte;
  start[kSignatureOffset + 9] = 'A';  // "Standard ACE DB"-like signatures are not Jet
  EXPECT_EQ(JetErrorOf([&] { DetectVersion(start); }), kErrUnrecognizedFormat);
  EXPECT_EQ(JetErrorOf([&] { JetDatabase(std::make_unique<MemoryStorage>(std::vector<std::uint8_t>(10), false)); }),
            kErrUnrecognizedFormat);
}

TEST(DatabaseHeader, FixturesStateVersionCodePageAndSortOrder) {
  const std::vector<std::uint8_t> jet3 = FixtureBytes("access/v1997-indexTest.mdb");
  const std::vector<std::uint8_t> jet4 = FixtureBytes("access/v2000-empty.mdb");
  if (jet3.empty() || jet4.empty()) GTEST_SKIP() << "fixture folder " << NUTARO_FIXTURES_DIR << " is absent";
  for (const auto& [bytes, version] : {std::pair{&jet3, Version::kJet3}, std::pair{&jet4, Version::kJet4}}) {
    const DatabaseHeader header = ReadDatabaseHeader(LayoutFor(version), *bytes);
    EXPECT_EQ(header.codePage, 1252);
    EXPECT_EQ(header.sortOrder, kGeneralSortOrder);
    EXPECT_EQ(header.databaseKey, 0u);
    EXPECT_TRUE(header.password.empty());
  }
}

std::vector<std::uint8_t> WithPassword(std::vector<std::uint8_t> bytes, const Layout& layout, const std::string& password) {
  StoreDatabasePassword(layout, MutableBytes(bytes.data(), layout.pageSize), TextCodec(layout.version, 1252).EncodeName(password));
  return bytes;
}

TEST(DatabaseHeader, Jet4PasswordIsUnmaskedAndComparedExactly) {
  const std::vector<std::uint8_t> plain = FixtureBytes("nutaro/nuta4-basic.mdb");
  if (plain.empty()) GTEST_SKIP() << "fixture folder " << NUTARO_FIXTURES_DIR << " is absent";
  const JetDatabase open(std::make_unique<MemoryStorage>(plain, false));
  EXPECT_FALSE(open.HasPassword());
  EXPECT_TRUE(open.PasswordMatches(""));
  EXPECT_TRUE(open.PasswordMatches("anything"));  // a database without password ignores one

  const JetDatabase locked(std::make_unique<MemoryStorage>(WithPassword(plain, kJet4Layout, "Geheim1ä"), false));
  EXPECT_TRUE(locked.HasPassword());
  EXPECT_TRUE(locked.PasswordMatches("Geheim1ä"));
  EXPECT_FALSE(locked.PasswordMatches("geheim1ä"));
  EXPECT_FALSE(locked.PasswordMatches("Geheim1"));
  EXPECT_FALSE(locked.PasswordMatches(""));
}

TEST(DatabaseHeader, Jet3PasswordIsStoredInClear) {
  const std::vector<std::uint8_t> bytes = FixtureBytes("access/v1997-indexTest.mdb");
  if (bytes.empty()) GTEST_SKIP() << "fixture folder " << NUTARO_FIXTURES_DIR << " is absent";
  std::vector<std::uint8_t> locked = WithPassword(bytes, kJet3Layout, "käse");
  // In clear, in the code page, after the header mask is taken off.
  ToggleHeaderMask(kJet3Layout, MutableBytes(locked.data(), kJet3PageSize));
  EXPECT_EQ(std::string(locked.begin() + kPasswordOffset, locked.begin() + kPasswordOffset + 5), std::string("k\xE4se\0", 5));
  const JetDatabase database(std::make_unique<MemoryStorage>(WithPassword(bytes, kJet3Layout, "käse"), false));
  EXPECT_TRUE(database.PasswordMatches("käse"));
  EXPECT_FALSE(database.PasswordMatches("kase"));
}

TEST(PageFile, PagesOfADatabaseWithAKeyAreDecrypted) {
  std::vector<std::uint8_t> bytes = FixtureBytes("nutaro/nuta4-basic.mdb");
  if (bytes.empty()) GTEST_SKIP() << "fixture folder " << NUTARO_FIXTURES_DIR << " is absent";
  constexpr std::uint32_t kKey = 0x5EC2E7A1;
  MutableBytes page0(bytes.data(), kJet4PageSize);
  ToggleHeaderMask(kJet4Layout, page0);
  StoreU32(page0.data() + kDatabaseKeyOffset, kKey);
  ToggleHeaderMask(kJet4Layout, page0);
  for (std::uint32_t page = 1; page < bytes.size() / kJet4PageSize; ++page) {
    ApplyPageCipher(kKey, page, MutableBytes(bytes.data() + static_cast<std::size_t>(page) * kJet4PageSize, kJet4PageSize));
  }
  JetDatabase database(std::make_unique<MemoryStorage>(bytes, false));
  EXPECT_EQ(database.Header().databaseKey, kKey);
  EXPECT_EQ(database.Table(database.FindTable("nuta")->id)->rowCount, 28u);
}

TEST(PageFile, ChangedPagesStayCachedAndReachTheStorageTogetherOnFlush) {
  auto owned = std::make_unique<MemoryStorage>(std::vector<std::uint8_t>(64 * 512, 0));
  MemoryStorage* storage = owned.get();
  PageFile pages(std::move(owned), 512, /*cacheBytes=*/16 * 512);
  pages.Modify(3)->MutableData()[7] = 0xAB;
  for (std::uint32_t page = 0; page < 64; ++page) pages.Read(page);  // would push page 3 out of the cache
  EXPECT_EQ(storage->Contents()[3 * 512 + 7], 0x00);                 // not written before the flush
  EXPECT_EQ(pages.Read(3)->Data()[7], 0xAB);

  const MutablePageRef appended = pages.Append();
  EXPECT_EQ(appended->Number(), 64u);
  appended->MutableData()[0] = 0x01;
  EXPECT_EQ(storage->Size(), 64u * 512);
  pages.Flush();
  EXPECT_EQ(storage->Size(), 65u * 512);
  EXPECT_EQ(storage->Contents()[64 * 512], 0x01);
  EXPECT_EQ(storage->Contents()[3 * 512 + 7], 0xAB);

  // A page held by a reader stays valid however much else is read.
  const PageRef held = pages.Read(5);
  for (std::uint32_t page = 0; page < 65; ++page) pages.Read(page);
  EXPECT_EQ(held->Number(), 5u);
}

TEST(PageFile, ShortFilesAndFailingReadsEndInErrors) {
  // A trailing partial page is not part of the file.
  PageFile shortFile(std::make_unique<MemoryStorage>(std::vector<std::uint8_t>(3 * 512 + 100, 0), false), 512);
  EXPECT_EQ(shortFile.PageCount(), 3u);
  EXPECT_EQ(JetErrorOf([&] { shortFile.Read(3); }), kErrDatabaseDamaged);
  EXPECT_EQ(JetErrorOf([&] { shortFile.Modify(0); }), kErrReadOnly);

  PageFile failing(std::make_unique<FailingStorage>(std::vector<std::uint8_t>(4 * 512, 0), 2 * 512), 512);
  EXPECT_NO_THROW(failing.Read(1));
  EXPECT_EQ(JetErrorOf([&] { failing.Read(2); }), kErrDiskError);

  const std::vector<std::uint8_t> fixture = FixtureBytes("nutaro/nuta4-basic.mdb");
  if (fixture.empty()) return;
  EXPECT_EQ(JetErrorOf([&] { JetDatabase(std::make_unique<FailingStorage>(fixture, 3 * kJet4PageSize)); }),
            kErrDiskError);
}

TEST(Storage, MissingFilesAndReadOnlyOpensAreReported) {
  EXPECT_EQ(JetErrorOf([] { FileStorage::Open("/nonexistent/folder/x.mdb", false); }), kErrFileNotFound);
  const platform::testing::TempFolder folder;
  const std::string path = folder.Write("storage.mdb", std::string(16, '\x07'));
  const std::vector<std::uint8_t> one(1, 0);
  for (const std::uint64_t snapshotLimit : {std::uint64_t{1} << 20, std::uint64_t{0}}) {
    // Read as a copy, and in place.
    const auto readOnly = FileStorage::Open(path, false, SharingOptions{snapshotLimit});
    EXPECT_EQ(readOnly->Mapped().size(), 16u);
    EXPECT_EQ(readOnly->Mapped()[15], 7);
    EXPECT_EQ(JetErrorOf([&] { readOnly->Commit(std::vector<Extent>{{0, one}}); }), kErrReadOnly);
  }
}

}  // namespace
}  // namespace dao::jet
