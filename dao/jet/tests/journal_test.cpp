// Groups of writes to a file on disk are all or nothing: a randomised run of
// groups, each perhaps struck by a failing call (an I/O error, a full disk,
// a short write, a disk that stays broken), checked against a model of the
// file after every step; torn journals; a reader that may not roll back;
// and the locks between opens of one file.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "dao/jet/rollback_journal.h"
#include "dao/jet/storage.h"
#include "dao/jet/tests/fixture_files.h"
#include "dao/jet/tests/jet_error_of.h"
#include "platform/file_io.h"
#include "platform/testing/faulty_file_system.h"
#include "platform/testing/stress.h"
#include "platform/testing/temp_folder.h"

namespace dao::jet {
namespace {

using platform::testing::FaultPlan;
using platform::testing::FaultyFileSystem;
using testing::JetErrorOf;
using testing::ReadFileBytes;

constexpr std::uint32_t kPage = 512;

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  platform::WriteFileAtomically(path, std::span<const std::uint8_t>(bytes));
}

// A group of page writes: some pages of the file, some beyond its end.
struct Group {
  std::vector<std::vector<std::uint8_t>> pages;
  std::vector<Extent> extents;
};

Group RandomGroup(std::mt19937& random, std::size_t filePages) {
  Group group;
  const std::size_t count = 1 + random() % 6;
  std::vector<std::uint64_t> offsets;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint64_t page = random() % (filePages + 3);
    if (std::find(offsets.begin(), offsets.end(), page * kPage) != offsets.end()) continue;
    offsets.push_back(page * kPage);
    std::vector<std::uint8_t>& bytes = group.pages.emplace_back(kPage);
    for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(random());
  }
  for (std::size_t i = 0; i < offsets.size(); ++i) group.extents.push_back({offsets[i], group.pages[i]});
  return group;
}

std::vector<std::uint8_t> Applied(std::vector<std::uint8_t> bytes, const Group& group) {
  for (const Extent& extent : group.extents) {
    if (extent.offset + extent.data.size() > bytes.size()) bytes.resize(extent.offset + extent.data.size());
    std::copy(extent.data.begin(), extent.data.end(), bytes.begin() + static_cast<std::ptrdiff_t>(extent.offset));
  }
  return bytes;
}

FaultPlan RandomFault(std::mt19937& random) {
  using namespace platform::testing;
  static const unsigned kCalls[] = {kEveryCall, kWriteCall, kSyncCall, kOpenCall | kRenameCall | kUnlinkCall,
                                    kWriteCall | kSyncCall | kTruncateCall};
  FaultPlan plan;
  plan.calls = kCalls[random() % std::size(kCalls)];
  plan.at = static_cast<int>(random() % 24);
  plan.errorNumber = random() % 2 == 0 ? EIO : ENOSPC;
  plan.shortWrite = random() % 3 == 0;
  plan.lasting = random() % 3 == 0;
  return plan;
}

// The file as the next program to open it finds it (a left-over group
// rolled back first).
std::vector<std::uint8_t> AsOpened(const std::string& path) {
  const std::unique_ptr<Storage> storage = FileStorage::Open(path, false);
  std::vector<std::uint8_t> bytes(storage->Size());
  storage->Read(0, bytes);
  return bytes;
}

TEST(Journal, GroupsAreAllOrNothingWhateverCallFails) {
  const platform::testing::TempFolder folder;
  const std::string path = folder.File("model.mdb");
  std::mt19937 random(20240611);
  std::vector<std::uint8_t> model(8 * kPage);
  for (std::uint8_t& byte : model) byte = static_cast<std::uint8_t>(random());
  WriteBytes(path, model);

  const int steps = 300 * platform::testing::StressFactor();
  int failed = 0;
  int leftOver = 0;
  for (int step = 0; step < steps; ++step) {
    SCOPED_TRACE("step " + std::to_string(step));
    const Group group = RandomGroup(random, model.size() / kPage);
    const bool faulty = random() % 4 != 0;
    FaultyFileSystem files(faulty ? RandomFault(random) : FaultPlan{0, 0});
    int error = 0;
    {
      // Opening, the group and closing all meet the fault, as a program
      // would whose disk fails while it runs.
      const platform::ScopedFileSystem installed(files);
      error = JetErrorOf([&] {
        const std::unique_ptr<Storage> storage = FileStorage::Open(path, true);
        storage->Commit(group.extents);
      });
    }
    if (error == 0) {
      model = Applied(model, group);
    } else {
      ++failed;
      EXPECT_TRUE(error == kErrDiskError || error == kErrDiskFull) << error;
      EXPECT_TRUE(files.Struck());
    }
    leftOver += JournalExists(JournalPathOf(path)) ? 1 : 0;
    ASSERT_EQ(AsOpened(path), model);
    EXPECT_FALSE(JournalExists(JournalPathOf(path)));
  }
  // The run met every outcome: groups kept, groups refused, and groups so
  // broken that only the next open could roll them back.
  EXPECT_GT(failed, steps / 10);
  EXPECT_GT(leftOver, 0);
  EXPECT_LT(failed, steps);
}

TEST(Journal, TornJournalsAndStrangeRecordsChangeNothing) {
  const platform::testing::TempFolder folder;
  const std::string path = folder.File("torn.mdb");
  const std::string journal = JournalPathOf(path);
  std::vector<std::uint8_t> original(6 * kPage);
  for (std::size_t i = 0; i < original.size(); ++i) original[i] = static_cast<std::uint8_t>(i * 13 + i / 7);
  WriteBytes(path, original);
  {
    const int fd = ::open(path.c_str(), O_RDWR);
    WriteJournal(journal, fd, path, original.size(), {{kPage, kPage}, {4 * kPage, kPage}, {5 * kPage, 100}}, 0644);
    ::close(fd);
  }
  const std::vector<std::uint8_t> complete = ReadFileBytes(journal);
  // Cut at every length, a journal either saves the file's own bytes or is
  // not complete; rolling it back must leave the file as it is.
  for (std::size_t length = 0; length <= complete.size(); length += 7) {
    SCOPED_TRACE(length);
    WriteBytes(journal, std::vector<std::uint8_t>(complete.begin(), complete.begin() + static_cast<std::ptrdiff_t>(length)));
    const int fd = ::open(path.c_str(), O_RDWR);
    EXPECT_TRUE(RollBackJournal(journal, fd, path));
    ::close(fd);
    EXPECT_EQ(ReadFileBytes(path), original);
    EXPECT_FALSE(JournalExists(journal));
  }

  // A journal brings back what it saved and cuts the file to its old size,
  // up to the first record that is damaged or belongs to another journal.
  std::vector<std::uint8_t> damaged = complete;
  const std::size_t secondRecord = 40 + 12 + kPage + 8;
  damaged[secondRecord + 12 + 3] ^= 0x40;  // a byte of the second record's saved page
  for (const auto& [journalBytes, restoredPages] :
       {std::pair{complete, std::vector<int>{1, 4, 5}}, std::pair{damaged, std::vector<int>{1}}}) {
    std::vector<std::uint8_t> changed = original;
    std::fill(changed.begin() + kPage, changed.end(), 0xEE);
    changed.resize(9 * kPage, 0xEE);  // pages appended by the group
    WriteBytes(path, changed);
    WriteBytes(journal, journalBytes);
    const int fd = ::open(path.c_str(), O_RDWR);
    EXPECT_TRUE(RollBackJournal(journal, fd, path));
    ::close(fd);
    std::vector<std::uint8_t> expected(changed.begin(), changed.begin() + static_cast<std::ptrdiff_t>(original.size()));
    for (const int page : restoredPages) {
      const std::size_t end = std::min<std::size_t>((page + 1) * kPage, original.size());
      std::copy(original.begin() + page * kPage, original.begin() + static_cast<std::ptrdiff_t>(end),
                expected.begin() + page * kPage);
    }
    if (restoredPages.size() == 3) std::fill(expected.begin() + 5 * kPage + 100, expected.end(), 0xEE);
    EXPECT_EQ(ReadFileBytes(path), expected);
  }
  EXPECT_FALSE(RollBackJournal(journal, 0, path));  // none left
}

// A file system on which nothing may be opened for writing, like a
// read-only medium.
class ReadOnlyMedium final : public platform::FileSystem {
 public:
  int Open(const char* path, int flags, mode_t mode) override {
    if ((flags & (O_RDWR | O_WRONLY | O_CREAT)) != 0) {
      errno = EROFS;
      return -1;
    }
    return platform::SystemFiles().Open(path, flags, mode);
  }
  int MakeTemporaryFile(char* pattern, int flags) override { return platform::SystemFiles().MakeTemporaryFile(pattern, flags); }
  char* MakeTemporaryFolder(char* pattern) override { return platform::SystemFiles().MakeTemporaryFolder(pattern); }
  int Close(int fd) override { return platform::SystemFiles().Close(fd); }
  ssize_t Read(int fd, void* buffer, std::size_t size) override { return platform::SystemFiles().Read(fd, buffer, size); }
  ssize_t ReadAt(int fd, void* buffer, std::size_t size, off_t offset) override {
    return platform::SystemFiles().ReadAt(fd, buffer, size, offset);
  }
  ssize_t Write(int, const void*, std::size_t) override { return Refused<ssize_t>(); }
  ssize_t WriteAt(int, const void*, std::size_t, off_t) override { return Refused<ssize_t>(); }
  int Sync(int fd) override { return platform::SystemFiles().Sync(fd); }
  int Truncate(int, off_t) override { return Refused<int>(); }
  int Rename(const char*, const char*, unsigned) override { return Refused<int>(); }
  int Link(const char*, const char*) override { return Refused<int>(); }
  int Unlink(const char*) override { return Refused<int>(); }

 private:
  template <class Result>
  static Result Refused() {
    errno = EROFS;
    return -1;
  }
};

TEST(Journal, AReaderThatMayNotRollBackRefusesInsteadOfReadingAHalfWrittenFile) {
  const platform::testing::TempFolder folder;
  const std::string path = folder.File("unfinished.mdb");
  const std::vector<std::uint8_t> original(4 * kPage, 0x11);
  WriteBytes(path, original);
  // A writer that dies after writing half its group: a disk that breaks
  // after the journal is written keeps it from undoing anything.
  const std::vector<std::uint8_t> page(kPage, 0x22);
  FaultyFileSystem dying({platform::testing::kWriteCall, 2, EIO, false, true});
  {
    const platform::ScopedFileSystem installed(dying);
    EXPECT_EQ(JetErrorOf([&] {
                FileStorage::Open(path, true)->Commit(std::vector<Extent>{{0, page}, {kPage, page}, {6 * kPage, page}});
              }),
              kErrDiskError);
  }
  std::vector<std::uint8_t> halfWritten = original;
  std::fill(halfWritten.begin(), halfWritten.begin() + kPage, 0x22);
  ASSERT_EQ(ReadFileBytes(path), halfWritten);
  ASSERT_TRUE(JournalExists(JournalPathOf(path)));

  ReadOnlyMedium readOnly;
  {
    const platform::ScopedFileSystem installed(readOnly);
    try {
      FileStorage::Open(path, false);
      FAIL() << "a half-written file was opened";
    } catch (const JetError& error) {
      EXPECT_EQ(error.Number(), kErrDatabaseDamaged);
      EXPECT_NE(std::string(error.what()).find("stopped before it had finished"), std::string::npos) << error.what();
      EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
    }
  }
  EXPECT_EQ(ReadFileBytes(path), halfWritten);
  // A reader that may write puts it right and reads the old file.
  EXPECT_EQ(AsOpened(path), original);
  EXPECT_FALSE(JournalExists(JournalPathOf(path)));
}

TEST(Journal, OneWriterAtATimeAndReadersNeverMeetAGroupHalfWritten) {
  const platform::testing::TempFolder folder;
  const std::string path = folder.File("shared.mdb");
  WriteBytes(path, std::vector<std::uint8_t>(4 * kPage, 0x33));
  const SharingOptions impatient{std::uint64_t{1} << 20, std::chrono::milliseconds(30)};
  const SharingOptions inPlace{0, std::chrono::milliseconds(30)};
  const std::vector<std::uint8_t> page(kPage, 0x44);

  std::unique_ptr<Storage> writer = FileStorage::Open(path, true, impatient);
  EXPECT_EQ(JetErrorOf([&] { FileStorage::Open(path, true, impatient); }), kErrFileInUse);
  {
    // A reader's copy lets the writer write; the reader keeps what it read.
    const std::unique_ptr<Storage> copy = FileStorage::Open(path, false, impatient);
    writer->Commit(std::vector<Extent>{{0, page}});
    EXPECT_EQ(copy->Mapped()[0], 0x33);
  }
  {
    // A reader of the file in place holds the writer off until it closes.
    const std::unique_ptr<Storage> reader = FileStorage::Open(path, false, inPlace);
    EXPECT_EQ(JetErrorOf([&] { writer->Commit(std::vector<Extent>{{kPage, page}}); }), kErrLocked);
    EXPECT_EQ(reader->Mapped()[kPage], 0x33);
  }
  writer->Commit(std::vector<Extent>{{kPage, page}});
  writer.reset();

  // A writer whose group broke half way keeps readers out until the group
  // is rolled back, and then they read the file as it was.
  FaultyFileSystem failing({platform::testing::kWriteCall, 2, EIO, false, true});
  std::unique_ptr<Storage> broken = FileStorage::Open(path, true, impatient);
  {
    const platform::ScopedFileSystem installed(failing);
    EXPECT_EQ(JetErrorOf([&] { broken->Commit(std::vector<Extent>{{2 * kPage, page}, {3 * kPage, page}}); }),
              kErrDiskError);
  }
  EXPECT_EQ(JetErrorOf([&] { FileStorage::Open(path, false, impatient); }), kErrFileInUse);
  broken.reset();  // rolls back on closing
  const std::vector<std::uint8_t> expected = [&] {
    std::vector<std::uint8_t> bytes(4 * kPage, 0x33);
    std::fill(bytes.begin(), bytes.begin() + 2 * kPage, 0x44);
    return bytes;
  }();
  EXPECT_EQ(AsOpened(path), expected);
}

}  // namespace
}  // namespace dao::jet
