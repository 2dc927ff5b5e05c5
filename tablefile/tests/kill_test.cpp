// A process that appends rows to a table file and saves after every row is
// killed (SIGKILL) at random moments, again and again: after each kill the
// file opens and holds the rows of one of its saves, the old rows and a
// prefix of the new ones; so does its ".~d" backup.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <random>

#include "platform/testing/stress.h"
#include "platform/testing/temp_folder.h"
#include "tablefile/ntd_dataset.h"
#include "tablefile/tests/table_fixtures.h"

namespace tablefile {
namespace {

// The numbers in column X of the table file, in order; they must be 0, 1,
// 2, ... for the file to be one of the saves.
std::vector<int> Numbers(const std::string& path) {
  TNtdTable table;
  table.SetTableName(path);
  table.SetActive(true);
  std::vector<int> numbers;
  for (table.GoFirst(); !table.AtEnd(); table.GoNext()) numbers.push_back(table.FieldValue("X").ToInt32());
  return numbers;
}

bool CountsUp(const std::vector<int>& numbers) {
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    if (numbers[i] != static_cast<int>(i)) return false;
  }
  return true;
}

void AppendAndSave(const std::string& path, int count) {
  TNtdTable table;
  table.SetTableName(path);
  table.SetSaveOptions(savAutoBackup);
  table.SetActive(true);
  const int first = table.RowCount();
  for (int n = first; n < first + count; ++n) {
    table.AppendRow();
    table.FieldNamed("Nm1").SetTextValue("Zeile " + std::to_string(n));
    table.FieldNamed("X").SetTextValue(std::to_string(n));
    table.PostRow();
    table.SaveChanges();
  }
}

TEST(Kill, ASaverKilledAtAnyMomentLeavesAWholeTableFile) {
  const platform::testing::TempFolder folder;
  const std::string path = folder.File("killed.ntd");
  testing::WriteEmptyConverterTable(path);
  AppendAndSave(path, 20);
  std::mt19937 random(815);
  const int runs = 200 * platform::testing::StressFactor();
  std::size_t rows = 20;
  for (int run = 0; run < runs; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    std::cout.flush();
    const pid_t child = ::fork();
    if (child == 0) {
      try {
        AppendAndSave(path, 100);
      } catch (...) {
        ::_exit(1);
      }
      ::_exit(0);
    }
    ::usleep(static_cast<useconds_t>(random() % 40'000));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0)) << "the saver failed";
    const std::vector<int> numbers = Numbers(path);
    ASSERT_TRUE(CountsUp(numbers)) << "not one of the saves";
    EXPECT_GE(numbers.size(), rows);
    rows = numbers.size();
    const std::vector<int> backedUp = Numbers(folder.File("killed.~d"));
    EXPECT_TRUE(CountsUp(backedUp)) << "the backup is not one of the saves";
    EXPECT_LE(backedUp.size(), rows);
  }
  // A kill between writing a save and renaming it leaves its temporary
  // file; nothing else is left.
  for (const std::string& name : folder.Listing()) {
    EXPECT_TRUE(name == "killed.ntd" || name == "killed.~d" || name.starts_with("killed.ntd.tmp-") ||
                name.starts_with("killed.~d.tmp-"))
        << name;
  }
  std::cout << runs << " savers killed at random moments; the table grew to " << rows << " rows\n";
}

}  // namespace
}  // namespace tablefile
