// Whole-file writes and saves that nothing can cut in half: a failing call
// at any point leaves the old file or the new one and nothing beside them;
// a save waits for another save of the same file and then sees what that
// one wrote; sibling names of long names still fit.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <thread>

#include "platform/file_io.h"
#include "platform/file_lock.h"
#include "platform/testing/faulty_file_system.h"
#include "platform/testing/temp_folder.h"

namespace platform {
namespace {

using testing::FaultPlan;
using testing::TempFolder;

TEST(FileSafety, WritesAndSavesMeetingAFailingCallKeepTheOldFileOrWriteTheNewOne) {
  using namespace testing;
  const TempFolder folder;
  const std::string path = folder.File("nuta.ntd");
  const std::string backup = folder.File("nuta.~d");
  const std::string old = "old content";
  const std::string now = std::string(200'000, 'n');
  for (const FaultPlan plan : {FaultPlan{kEveryCall, 0, EIO, false, false}, FaultPlan{kWriteCall, 0, ENOSPC, true, true},
                               FaultPlan{kSyncCall | kRenameCall | kUnlinkCall, 0, EIO, false, true}}) {
    for (const bool save : {false, true}) {
      WriteFileAtomically(path, old);
      const FileVersion loaded = VersionOf(old);
      bool failed = false;
      int written = 0;
      const int runs = ForEachFault(
          plan,
          [&] {
            try {
              if (save) {
                SaveFile(path, now, &loaded, backup);
              } else {
                WriteFileAtomically(path, now);
              }
            } catch (const FileError& error) {
              failed = true;
              EXPECT_NE(std::string(error.what()).find(folder.Path()), std::string::npos) << error.what();
            }
          },
          [&](bool struck) {
            if (!struck) EXPECT_FALSE(failed);
            const std::string content = ReadWholeFile(path);
            EXPECT_TRUE(content == old || content == now);
            written += content == now ? 1 : 0;
            std::set<std::string> expected = {"nuta.ntd"};
            if (FileExists(backup)) {
              expected.insert("nuta.~d");
              EXPECT_EQ(ReadWholeFile(backup), old);
            }
            if (plan.lasting && plan.calls & kUnlinkCall) {
              // A disk that broke cannot take the temporary file away.
              EXPECT_LE(folder.Listing().size(), expected.size() + 1);
            } else {
              EXPECT_EQ(folder.Listing(), expected) << "files left behind";
            }
            for (const std::string& name : folder.Listing()) std::filesystem::remove(folder.File(name));
            WriteFileAtomically(path, old);
            failed = false;
          });
      EXPECT_GT(runs, 0);
      EXPECT_GT(written, 0);
    }
  }
}

TEST(FileSafety, ASaveWaitsForAnotherSaveOfTheFileAndThenSeesItsChange) {
  const TempFolder folder;
  const std::string path = folder.Write("nuta.ntd", "one");
  const FileVersion loaded = VersionOf("one");
  // Another program is in the middle of saving: it holds the writer lock
  // and then replaces the file.
  const int other = ::open(path.c_str(), O_RDWR);
  ASSERT_TRUE(TryLockByte(other, path, kWriterLockByte, LockKind::kExclusive));
  std::thread finishing([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    WriteFileAtomically(path, "two");
    ::close(other);
  });
  EXPECT_THROW(SaveFile(path, "three", &loaded, ""), FileChangedError);
  finishing.join();
  EXPECT_EQ(ReadWholeFile(path), "two");
  SaveFile(path, "three", nullptr, "");
  EXPECT_EQ(ReadWholeFile(path), "three");
  // A file that is gone since it was read is written anew.
  std::filesystem::remove(path);
  SaveFile(path, "four", &loaded, folder.File("nuta.~d"));
  EXPECT_EQ(ReadWholeFile(path), "four");
  EXPECT_EQ(folder.Listing(), std::set<std::string>{"nuta.ntd"});
}

TEST(FileSafety, SiblingsOfLongNamesFit) {
  EXPECT_EQ(SiblingPath("/a/b/nuta.mdb", "", "-journal"), "/a/b/nuta.mdb-journal");
  EXPECT_EQ(SiblingPath("nuta.mdb", ".~", ".XXXXXX"), ".~nuta.mdb.XXXXXX");
  const std::string longName(250, 'n');
  const std::string sibling = SiblingPath("/a/" + longName, ".", ".load-XXXXXX");
  const std::string name = sibling.substr(3);
  EXPECT_EQ(name.size(), 255u);
  EXPECT_TRUE(name.starts_with(".nnnn") && name.ends_with(".load-XXXXXX")) << name;
  // The same name always gets the same sibling, another name another one.
  EXPECT_EQ(SiblingPath("/a/" + longName, ".", ".load-XXXXXX"), sibling);
  EXPECT_NE(SiblingPath("/a/" + longName.substr(1) + "m", ".", ".load-XXXXXX"), sibling);
}

}  // namespace
}  // namespace platform
