// Paths users give: names with blanks, quotes, non-ASCII letters, bytes that
// are not UTF-8, 250 bytes long; folders that take no new file; a disk that
// fills up. Loads, appends, DAO writes and table-file saves either work
// there or end with a clear message, and never leave a half-written file
// or anything beside it.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>

#include "dao/constants.h"
#include "dao/database.h"
#include "dao/db_engine.h"
#include "dao/jet/tests/file_checks.h"
#include "dao/recordset.h"
#include "dao/workspace.h"
#include "platform/file_io.h"
#include "platform/file_system.h"
#include "tablefile/ntd_dataset.h"
#include "tools/tests/load_test_support.h"

namespace tools {
namespace {

namespace fs = std::filesystem;
using platform::testing::TempFolder;

std::string Document(const std::string& format, int from, int count, int noteSize = 10) {
  std::string rows;
  for (int n = from; n < from + count; ++n) {
    if (!rows.empty()) rows += ", ";
    rows += "[\"Lebensmittel " + std::to_string(n) + "\", " + std::to_string(n) + ", \"" +
            std::string(static_cast<std::size_t>(noteSize), static_cast<char>('a' + n % 26)) + "\"]";
  }
  const bool ntd = format == "ntd";
  return "{\"format\": \"" + format + "\", \"tables\": [{\"name\": \"Nuta\", \"columns\": [" +
         "{\"name\": \"Name\", \"type\": \"" + (ntd ? "String\", \"size\": 60" : "Text\", \"size\": 100") +
         "}, {\"name\": \"Kcal\", \"type\": \"" + (ntd ? "Integer" : "Long") + "\"}, " +
         "{\"name\": \"Notiz\", \"type\": \"Memo\"}], \"rows\": [" + rows + "]}]}";
}

// The number of rows of the one table of a file, through the dump.
std::size_t RowsIn(const std::string& path) {
  const std::string dump = testing::Dump(path);
  std::size_t rows = 0;
  for (std::size_t at = dump.find("[\"Lebensmittel"); at != std::string::npos; at = dump.find("[\"Lebensmittel", at + 1)) {
    ++rows;
  }
  return rows;
}

std::shared_ptr<dao::Workspace> NewWorkspace() {
  static const auto engine = dao::DBEngine::Create("DAO.DBEngine.36");
  return engine->CreateWorkspace("hostile", "Admin", "");
}

TEST(HostilePaths, StrangeAndLongNamesWorkLikeAnyOther) {
  const std::vector<std::string> stems = {
      "mit Leerzeichen und 'Anführungs\"zeichen",
      "Kalorien 日本語 Ωμέγα",
      "kein-UTF-8-\xFF\xFE\xC3(",
      std::string(246, 'n'),
      [] {
        std::string umlauts;
        for (int i = 0; i < 123; ++i) umlauts += "ä";
        return umlauts;
      }(),
  };
  for (const std::string& stem : stems) {
    for (const std::string& extension : {".mdb", ".ntd"}) {
      SCOPED_TRACE(stem.substr(0, 40) + extension);
      const TempFolder folder;
      const std::string name = stem.substr(0, 250 - extension.size()) + extension;
      const std::string target = folder.File(name);
      const std::string format = extension == ".mdb" ? "jet4" : "ntd";
      const testing::LoadRun created = testing::Load({target, folder.Write("a.json", Document(format, 0, 3))});
      ASSERT_EQ(created.exitCode, 0) << created.err;
      const testing::LoadRun appended =
          testing::Load({target, folder.Write("b.json", Document(format, 3, 2, 9000)), "--append"});
      ASSERT_EQ(appended.exitCode, 0) << appended.err;
      EXPECT_EQ(RowsIn(target), 5u);
      if (extension == ".mdb") {
        {
          const auto database = NewWorkspace()->OpenDatabase(target);
          const auto rows = database->OpenRecordset("Nuta", dao::dbOpenDynaset);
          rows->AddNew();
          rows->Fields().Item("Name")->SetValue(platform::Variant("Lebensmittel 5"));
          rows->Fields().Item("Notiz")->SetValue(platform::Variant(std::string(20000, 'x')));
          rows->Update();
        }
        dao::jet::testing::ExpectFileKeepsTheChecklist(target);
      } else {
        tablefile::TNtdTable table;
        table.SetTableName(target);
        table.SetSaveOptions(tablefile::savAutoBackup);
        table.SetActive(true);
        table.AppendRow();
        table.FieldNamed("Name").SetTextValue("Lebensmittel 5");
        table.PostRow();
        table.SaveChanges();
      }
      EXPECT_EQ(RowsIn(target), 6u);
      std::set<std::string> expected = {"a.json", "b.json", name};
      if (extension == ".ntd") expected.insert(fs::path(name).replace_extension(".~d").string());
      EXPECT_EQ(folder.Listing(), expected);
    }
  }
}

// Makes a folder read-only for this process: a read-only bind mount when
// the process may mount (root may write into any folder otherwise), else
// by its permissions. Nothing when neither works.
class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(const std::string& path) : path_(path) {
    if (::geteuid() == 0) {
      mounted_ = ::mount(path.c_str(), path.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
                 ::mount(nullptr, path.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
      if (!mounted_) ::umount2(path.c_str(), MNT_DETACH);
      works_ = mounted_;
    } else {
      fs::permissions(path, fs::perms::owner_read | fs::perms::owner_exec);
      works_ = true;
    }
  }
  ~ReadOnlyFolder() {
    if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
    if (::geteuid() != 0) fs::permissions(path_, fs::perms::owner_all);
  }
  bool Works() const { return works_; }

 private:
  std::string path_;
  bool mounted_ = false;
  bool works_ = false;
};

TEST(HostilePaths, AReadOnlyFolderRefusesChangesClearlyAndKeepsItsFiles) {
  const TempFolder folder;
  const std::string inside = folder.File("schreibgeschützt");
  fs::create_directory(inside);
  const std::string database = inside + "/nuta.mdb";
  const std::string table = inside + "/nuta.ntd";
  ASSERT_EQ(testing::Load({database, folder.Write("a.json", Document("jet4", 0, 3))}).exitCode, 0);
  ASSERT_EQ(testing::Load({table, folder.Write("b.json", Document("ntd", 0, 3))}).exitCode, 0);
  const std::string databaseBytes = platform::ReadWholeFile(database);
  const std::string tableBytes = platform::ReadWholeFile(table);
  const ReadOnlyFolder readOnly(inside);
  if (!readOnly.Works()) GTEST_SKIP() << "this process can make no folder read-only";

  const std::string more = folder.Write("c.json", Document("jet4", 3, 2));
  for (const auto& arguments : std::vector<std::vector<std::string>>{
           {inside + "/neu.mdb", more}, {database, more, "--append"}, {inside + "/neu.ntd", folder.File("b.json")}}) {
    const testing::LoadRun run = testing::Load(arguments);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find(inside), std::string::npos) << run.err;
  }
  // DAO opens the database read-only and says so when asked to change it.
  {
    const auto opened = NewWorkspace()->OpenDatabase(database);
    EXPECT_FALSE(opened->Updatable());
    const auto rows = opened->OpenRecordset("Nuta", dao::dbOpenDynaset);
    try {
      rows->AddNew();
      FAIL() << "a row was added to a read-only database";
    } catch (const dao::DaoError& error) {
      EXPECT_EQ(error.Number(), 3027) << error.what();
    }
  }
  // A table file cannot be saved there.
  tablefile::TNtdTable ntd;
  ntd.SetTableName(table);
  ntd.SetActive(true);
  ntd.AppendRow();
  ntd.FieldNamed("Name").SetTextValue("Lebensmittel 3");
  ntd.PostRow();
  try {
    ntd.SaveChanges();
    FAIL() << "a table file was saved into a read-only folder";
  } catch (const platform::FileError& error) {
    EXPECT_NE(std::string(error.what()).find(table), std::string::npos) << error.what();
  }
  EXPECT_EQ(platform::ReadWholeFile(database), databaseBytes);
  EXPECT_EQ(platform::ReadWholeFile(table), tableBytes);
  std::set<std::string> left;
  for (const auto& entry : fs::directory_iterator(inside)) left.insert(entry.path().filename().string());
  EXPECT_EQ(left, (std::set<std::string>{"nuta.mdb", "nuta.ntd"}));
}

// A disk with room for `room` more bytes, for a process that may not mount
// a small file system of its own: a write beyond it writes what fits and
// then fails as a full disk does.
class SmallDisk final : public platform::FileSystem {
 public:
  explicit SmallDisk(std::size_t room) : room_(room) {}
  int Open(const char* path, int flags, mode_t mode) override { return System().Open(path, flags, mode); }
  int MakeTemporaryFile(char* pattern, int flags) override { return System().MakeTemporaryFile(pattern, flags); }
  char* MakeTemporaryFolder(char* pattern) override { return System().MakeTemporaryFolder(pattern); }
  int Close(int fd) override { return System().Close(fd); }
  ssize_t Read(int fd, void* buffer, std::size_t size) override { return System().Read(fd, buffer, size); }
  ssize_t ReadAt(int fd, void* buffer, std::size_t size, off_t offset) override {
    return System().ReadAt(fd, buffer, size, offset);
  }
  ssize_t Write(int fd, const void* data, std::size_t size) override {
    return Take(size, [&](std::size_t part) { return System().Write(fd, data, part); });
  }
  ssize_t WriteAt(int fd, const void* data, std::size_t size, off_t offset) override {
    return Take(size, [&](std::size_t part) { return System().WriteAt(fd, data, part, offset); });
  }
  int Sync(int fd) override { return System().Sync(fd); }
  int Truncate(int fd, off_t size) override { return System().Truncate(fd, size); }
  int Rename(const char* from, const char* to, unsigned flags) override { return System().Rename(from, to, flags); }
  int Link(const char* existing, const char* added) override { return System().Link(existing, added); }
  int Unlink(const char* path) override { return System().Unlink(path); }

 private:
  static platform::FileSystem& System() { return platform::SystemFiles(); }
  template <class Write>
  ssize_t Take(std::size_t size, const Write& write) {
    if (room_ == 0) {
      errno = ENOSPC;
      return -1;
    }
    const ssize_t written = write(std::min(size, room_));
    if (written > 0) room_ -= static_cast<std::size_t>(written);
    return written;
  }
  std::size_t room_;
};

// A small file system mounted on a folder, while the process may mount;
// otherwise nothing (and the test counts bytes with SmallDisk instead).
class SmallFileSystem {
 public:
  SmallFileSystem(const std::string& path, const char* size) : path_(path) {
    mounted_ = ::geteuid() == 0 && ::mount("tmpfs", path.c_str(), "tmpfs", 0, size) == 0;
  }
  ~SmallFileSystem() {
    if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
  }
  bool Mounted() const { return mounted_; }

 private:
  std::string path_;
  bool mounted_;
};

TEST(HostilePaths, AFullDiskEndsWritesClearlyAndLeavesWholeFiles) {
  const TempFolder folder;
  const std::string small = folder.File("klein");
  fs::create_directory(small);
  const SmallFileSystem mounted(small, "size=400k");
  SmallDisk disk(400 * 1024);
  std::optional<platform::ScopedFileSystem> counted;
  if (!mounted.Mounted()) counted.emplace(disk);

  const std::string database = small + "/nuta.mdb";
  ASSERT_EQ(testing::Load({database, folder.Write("a.json", Document("jet4", 0, 3))}).exitCode, 0);
  // Rows with long notes until the disk is full; each failure is clear.
  int added = 0;
  int fullDisk = 0;
  for (int attempt = 0; attempt < 200 && fullDisk < 3; ++attempt) {
    try {
      const auto opened = NewWorkspace()->OpenDatabase(database);
      const auto rows = opened->OpenRecordset("Nuta", dao::dbOpenDynaset);
      rows->AddNew();
      rows->Fields().Item("Name")->SetValue(platform::Variant("Lebensmittel " + std::to_string(3 + added)));
      rows->Fields().Item("Notiz")->SetValue(platform::Variant(std::string(30000, 'v')));
      rows->Update();
      rows->Close();
      opened->Close();
      ++added;
    } catch (const dao::DaoError& error) {
      ++fullDisk;
      EXPECT_EQ(error.Number(), 3026) << error.what();
      EXPECT_NE(std::string(error.what()).find("nuta.mdb"), std::string::npos) << error.what();
    }
  }
  EXPECT_EQ(fullDisk, 3) << "the disk never filled up";
  std::cout << added << " rows fitted on " << (mounted.Mounted() ? "a small file system" : "a counted disk") << "\n";
  counted.reset();
  // The database holds the rows whose writing ended, and nothing is left
  // beside it.
  EXPECT_EQ(RowsIn(database), static_cast<std::size_t>(3 + added));
  dao::jet::testing::ExpectFileKeepsTheChecklist(database);
  std::set<std::string> left;
  for (const auto& entry : fs::directory_iterator(small)) left.insert(entry.path().filename().string());
  EXPECT_EQ(left, std::set<std::string>{"nuta.mdb"});

  // A load and a table-file save find no room either and change nothing.
  const std::string input = folder.Write("b.json", Document("ntd", 0, 50, 2000));
  if (!mounted.Mounted()) counted.emplace(disk);
  const testing::LoadRun load = testing::Load({small + "/neu.ntd", input});
  EXPECT_EQ(load.exitCode, 1);
  EXPECT_NE(load.err.find("No space left on device"), std::string::npos) << load.err;
  EXPECT_FALSE(fs::exists(small + "/neu.ntd"));
  const std::string before = platform::ReadWholeFile(database);
  counted.reset();
  EXPECT_EQ(platform::ReadWholeFile(database), before);
}

}  // namespace
}  // namespace tools
