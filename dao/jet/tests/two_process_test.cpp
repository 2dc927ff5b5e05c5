// One process appends 10,000 rows to a database, taking the file a group of
// pages at a time; meanwhile a second writer is refused at once, and
// readers in other processes read the table in a loop, as a copy or in
// place: every table they read is whole, its row count and index entries
// agreeing with its rows.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>

#include "dao/jet/jet_error.h"
#include "dao/jet/tests/file_checks.h"
#include "dao/jet/tests/jet_error_of.h"
#include "dao/jet/tests/process_support.h"
#include "platform/testing/temp_folder.h"

namespace dao::jet {
namespace {

using testing::JetErrorOf;

bool Running(pid_t child, int& status) { return ::waitpid(child, &status, WNOHANG) == 0; }

TEST(TwoProcesses, ASecondWriterIsRefusedAndReadersAlwaysReadAWholeTable) {
  const platform::testing::TempFolder folder;
  const std::string path = folder.File("shared.mdb");
  testing::CreateNumberedRowsDatabase(path, 0);
  int opened[2];
  ASSERT_EQ(::pipe(opened), 0);
  const pid_t writer = testing::Spawn([&] {
    testing::AppendNumberedRows(path, 10'000, std::chrono::milliseconds(5), [&] { (void)::write(opened[1], "w", 1); });
  });
  char signal = 0;
  ASSERT_EQ(::read(opened[0], &signal, 1), 1);
  EXPECT_EQ(JetErrorOf([&] { FileStorage::Open(path, true); }), kErrFileInUse);

  // A reader in another process reads the file in place, holding the
  // writer off while it reads.
  const pid_t inPlace = testing::Spawn([&] {
    // Until this process has seen the writer end.
    while (::kill(writer, 0) == 0) {
      int rows = 0;
      const std::string problem = testing::NumberedRowsProblem(path, rows, SharingOptions{0});
      if (!problem.empty()) throw std::runtime_error(problem);
    }
  });
  // This process reads copies.
  std::set<int> seen;
  int reads = 0;
  int status = 0;
  while (Running(writer, status)) {
    int rows = 0;
    const std::string problem = testing::NumberedRowsProblem(path, rows);
    ASSERT_EQ(problem, "") << "after " << reads << " reads";
    seen.insert(rows);
    ++reads;
  }
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the writer failed";
  int readerStatus = 0;
  ASSERT_EQ(::waitpid(inPlace, &readerStatus, 0), inPlace);
  EXPECT_TRUE(WIFEXITED(readerStatus) && WEXITSTATUS(readerStatus) == 0) << "the reader in place met a broken table";
  int rows = 0;
  EXPECT_EQ(testing::NumberedRowsProblem(path, rows), "");
  EXPECT_EQ(rows, 10'000);
  testing::ExpectFileKeepsTheChecklist(path);
  std::cout << reads << " reads saw " << seen.size() << " different row counts while 10,000 rows were added\n";
}

}  // namespace
}  // namespace dao::jet
