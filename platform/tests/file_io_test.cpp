#include "platform/file_io.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>

#include "platform/errors.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

class FileIoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::path(NUTARO_BINARY_DIR) / "platform_file_io_test" /
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override {
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(folder_);
  }

  std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }

  std::vector<std::string> FolderEntries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path folder_;
};

TEST_F(FileIoTest, WriteAndReadBack) {
  const std::string path = PathOf("table.ntd");
  std::string bytes = "abc";
  bytes += '\0';
  bytes += "\xFF\x80";
  EXPECT_FALSE(FileExists(path));
  WriteFileAtomically(path, bytes);
  EXPECT_TRUE(FileExists(path));
  EXPECT_EQ(ReadWholeFile(path), bytes);
  EXPECT_EQ(ReadFileHead(path, 2), "ab");
  EXPECT_EQ(ReadFileHead(path, 160), bytes);
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"table.ntd"});
}

TEST_F(FileIoTest, ReplacingKeepsPermissionsAndLeavesNoTemporaryFile) {
  const std::string path = PathOf("nuta.mdb");
  WriteFileAtomically(path, std::string(100000, 'x'));
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  const std::uint8_t shorter[] = {1, 2, 3};
  WriteFileAtomically(path, std::span<const std::uint8_t>(shorter));
  EXPECT_EQ(ReadWholeFile(path), "\x01\x02\x03");
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"nuta.mdb"});
}

TEST_F(FileIoTest, FailedWriteLeavesTheOldFileIntact) {
  if (geteuid() == 0) GTEST_SKIP() << "root may write into read-only folders";
  const std::string path = PathOf("old.ntd");
  WriteFileAtomically(path, "old content");
  fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
  try {
    WriteFileAtomically(path, "new content");
    FAIL() << "writing into a read-only folder succeeded";
  } catch (const FileError& error) {
    EXPECT_EQ(error.Path(), path);
    EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
    EXPECT_NE(std::string(error.what()).find("Permission denied"), std::string::npos)
        << error.what();
  }
  fs::permissions(folder_, fs::perms::owner_all);
  EXPECT_EQ(ReadWholeFile(path), "old content");
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"old.ntd"});
}

// Sets the largest file this process may write; restores the old limit and
// signal disposition on destruction. Writes beyond it fail with EFBIG.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
    oldHandler_ = signal(SIGXFSZ, SIG_IGN);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit old_{};
  sighandler_t oldHandler_;
};

TEST_F(FileIoTest, WriteFailingHalfwayLeavesTheOldFileAndNoTemporaryFile) {
  const std::string path = PathOf("nuta.ntd");
  WriteFileAtomically(path, "old content");
  {
    const FileSizeLimit limit(4096);
    try {
      WriteFileAtomically(path, std::string(100000, 'n'));
      FAIL() << "a write beyond the file size limit succeeded";
    } catch (const FileError& error) {
      EXPECT_EQ(error.ErrorNumber(), EFBIG) << error.what();
      EXPECT_EQ(error.Path(), path);
    }
  }
  EXPECT_EQ(ReadWholeFile(path), "old content");
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"nuta.ntd"});
}

TEST_F(FileIoTest, WritingThroughASymbolicLinkReplacesItsTarget) {
  const std::string target = PathOf("real.ntd");
  const std::string link = PathOf("link.ntd");
  WriteFileAtomically(target, "one");
  fs::create_symlink(target, link);
  WriteFileAtomically(link, "two");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadWholeFile(target), "two");
}

TEST_F(FileIoTest, CopyReplacesTheTarget) {
  const std::string source = PathOf("table.ntd");
  const std::string backup = PathOf("table.~d");
  std::string big(3 * 1024 * 1024 + 17, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  WriteFileAtomically(source, big);
  WriteFileAtomically(backup, "older backup");
  CopyFile(source, backup);
  EXPECT_EQ(ReadWholeFile(backup), big);
  EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"table.ntd", "table.~d"}));
}

TEST_F(FileIoTest, MissingFilesAndFolders) {
  const std::string missing = PathOf("missing.mdb");
  EXPECT_FALSE(FileExists(missing));
  EXPECT_FALSE(FileExists(folder_.string()));  // a folder is no file
  try {
    ReadWholeFile(missing);
    FAIL();
  } catch (const FileError& error) {
    EXPECT_EQ(std::string(error.what()),
              "Cannot open file '" + missing + "': No such file or directory");
    EXPECT_EQ(error.ErrorNumber(), ENOENT);
  }
  EXPECT_THROW(ReadFileHead(missing, 160), FileError);
  EXPECT_THROW(CopyFile(missing, PathOf("copy")), FileError);
  EXPECT_THROW(WriteFileAtomically(PathOf("no/such/folder/x"), "x"), FileError);
  EXPECT_THROW(ReadWholeFile(folder_.string()), FileError);
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{});
}

}  // namespace
}  // namespace platform
