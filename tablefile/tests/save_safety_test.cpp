// Saving a table file never costs rows: a save refuses, with nothing
// written, when another program saved the file after it was opened; and a
// save (with its ".~d" backup, plain or enciphered) that meets a failing
// call at any point ends in an error with the old file in place, or in the
// new file with the old one as backup.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "platform/file_io.h"
#include "platform/testing/faulty_file_system.h"
#include "platform/testing/temp_folder.h"
#include "tablefile/ntd_dataset.h"
#include "tablefile/ntd_session.h"
#include "tablefile/tests/table_fixtures.h"

namespace tablefile {
namespace {

using platform::testing::FaultPlan;
using platform::testing::TempFolder;

void Append(TNtdTable& table, const std::string& name) {
  table.AppendRow();
  table.FieldNamed("Nm1").SetTextValue(name);
  table.PostRow();
}

std::vector<std::string> NamesIn(const std::string& path, const std::string& password = {}) {
  TNtdTable table;
  table.SetPassword(password);
  table.SetTableName(path);
  table.SetActive(true);
  std::vector<std::string> names;
  for (table.GoFirst(); !table.AtEnd(); table.GoNext()) names.push_back(table.FieldValue("Nm1").ToText());
  return names;
}

TEST(SaveSafety, ASaveRefusesWhenAnotherProgramSavedTheFileSinceItWasOpened) {
  const TempFolder folder;
  const std::string path = folder.File("nuta.ntd");
  testing::WriteEmptyConverterTable(path);
  TNtdTable first;
  TNtdTable second;
  for (TNtdTable* table : {&first, &second}) {
    table->SetTableName(path);
    table->SetActive(true);
  }
  Append(first, "Apfel");
  first.SaveChanges();
  Append(first, "Birne");
  first.SaveChanges();  // its own saves do not count as another program's

  Append(second, "Kiwi");
  second.SetSaveOptions(savAutoBackup);
  const std::string saved = platform::ReadWholeFile(path);
  try {
    second.SaveChanges();
    FAIL() << "the second save replaced the first one's rows";
  } catch (const platform::FileChangedError& error) {
    EXPECT_EQ(std::string(error.what()),
              "Cannot save file '" + path + "': another program changed it after it was opened; nothing was written");
  }
  EXPECT_EQ(platform::ReadWholeFile(path), saved);
  EXPECT_EQ(folder.Listing(), std::set<std::string>{"nuta.ntd"});  // no backup either

  // A change in place, same size, is noticed as well; a table opened
  // afresh saves again.
  std::string changed = saved;
  changed.back() ^= 1;
  {
    const int fd = ::open(path.c_str(), O_WRONLY);
    ASSERT_EQ(::pwrite(fd, changed.data(), changed.size(), 0), static_cast<ssize_t>(changed.size()));
    ::close(fd);
  }
  Append(first, "Quark");
  EXPECT_THROW(first.SaveChanges(), platform::FileChangedError);
  second.SetActive(false);
  second.SetActive(true);
  Append(second, "Kiwi");
  second.SaveChanges();
  EXPECT_EQ(folder.Listing(), (std::set<std::string>{"nuta.ntd", "nuta.~d"}));
  EXPECT_EQ(platform::ReadWholeFile(folder.File("nuta.~d")), changed);
}

// A save made through another name of the file is the same file's save.
TEST(SaveSafety, OtherNamesOfTheOpenedFileAreTheSameFile) {
  const TempFolder folder;
  const std::string path = folder.File("nuta.ntd");
  testing::WriteEmptyConverterTable(path);
  std::filesystem::create_symlink(path, folder.File("link.ntd"));
  TNtdTable table;
  table.SetTableName(path);
  table.SetActive(true);
  Append(table, "Apfel");
  {
    TNtdTable other;  // another program's save
    other.SetTableName(path);
    other.SetActive(true);
    Append(other, "Birne");
    other.SaveChanges();
  }
  EXPECT_THROW(table.WriteTableFile(folder.File("link.ntd")), platform::FileChangedError);
  EXPECT_THROW(table.WriteTableFile(folder.Path() + "/./nuta.ntd"), platform::FileChangedError);
  table.WriteTableFile(folder.File("copy.ntd"));  // another file is no conflict
  EXPECT_EQ(NamesIn(folder.File("copy.ntd")), std::vector<std::string>{"Apfel"});
}

TEST(SaveSafety, ASaveThatMeetsAFailingCallKeepsTheOldFileOrWritesTheNewOne) {
  using namespace platform::testing;
  for (const std::string password : {"", "geheim"}) {
    SCOPED_TRACE(password.empty() ? "plain" : "enciphered");
    const TempFolder folder;
    const std::string path = folder.File("nuta.ntd");
    const std::string backup = folder.File("nuta.~d");
    testing::WriteEmptyConverterTable(path);
    {
      TNtdTable table;
      table.SetPassword(password);
      table.SetTableName(path);
      table.SetActive(true);
      table.SetPassword(password);
      for (const char* name : {"Apfel", "Birne"}) Append(table, name);
      table.SaveChanges();
    }
    platform::WriteFileAtomically(backup, "an older backup");
    const std::string old = platform::ReadWholeFile(path);
    const std::vector<std::string> oldNames = {"Apfel", "Birne"};
    const std::vector<std::string> newNames = {"Apfel", "Birne", "Kiwi"};
    for (const FaultPlan plan : {FaultPlan{kEveryCall, 0, EIO, false, false},
                                 FaultPlan{kWriteCall, 0, ENOSPC, true, true},
                                 FaultPlan{kSyncCall | kRenameCall, 0, EIO, false, true}}) {
      int saved = 0;
      const int runs = ForEachFault(
          plan,
          [&] {
            TNtdTable table;
            table.SetPassword(password);
            table.SetTableName(path);
            table.SetSaveOptions(savAutoBackup);
            try {
              table.SetActive(true);
              Append(table, "Kiwi");
              table.SaveChanges();
            } catch (const platform::FileError&) {
            } catch (const recordset::EDatabaseError&) {
              // Reading the file met the fault.
            }
          },
          [&](bool) {
            const std::string now = platform::ReadWholeFile(path);
            if (now == old) {
              EXPECT_EQ(NamesIn(path, password), oldNames);
            } else {
              ++saved;
              EXPECT_EQ(NamesIn(path, password), newNames);
              EXPECT_EQ(platform::ReadWholeFile(backup), old);
            }
            const std::string backupNow = platform::ReadWholeFile(backup);
            EXPECT_TRUE(backupNow == old || backupNow == "an older backup");
            EXPECT_EQ(folder.Listing(), (std::set<std::string>{"nuta.ntd", "nuta.~d"})) << "files left behind";
            platform::WriteFileAtomically(path, old);
            platform::WriteFileAtomically(backup, "an older backup");
          });
      EXPECT_GT(runs, 1);
      EXPECT_GT(saved, 0);
    }
  }
}

}  // namespace
}  // namespace tablefile
