// A process appending to an existing database is killed (SIGKILL) at
// random moments, again and again: after each kill the file opens as a
// whole database whose table holds the old rows and a prefix of the new
// ones, with its indexes and row count agreeing with its rows. Sometimes the
// next writer, not a reader, finds what the killed one left unfinished, and
// may itself be killed while it rolls that back.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "dao/jet/rollback_journal.h"
#include "dao/jet/tests/file_checks.h"
#include "dao/jet/tests/process_support.h"
#include "platform/testing/stress.h"
#include "platform/testing/temp_folder.h"

namespace dao::jet {
namespace {

TEST(Kill, AWriterKilledAtAnyMomentLeavesTheOldRowsAndAPrefixOfTheNewOnes) {
  const platform::testing::TempFolder folder;
  const std::string path = folder.File("killed.mdb");
  testing::CreateNumberedRowsDatabase(path, 40);
  std::mt19937 random(4711);
  const int runs = 200 * platform::testing::StressFactor();
  int rows = 40;
  int finished = 0;
  int unfinished = 0;  // kills in the middle of a group
  for (int run = 0; run < runs; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    // Every change is flushed on its own, so that a kill can meet any step
    // of writing a group: the journal, the pages, the syncs, the removal.
    const pid_t child = testing::Spawn([&] { testing::AppendNumberedRows(path, 200, std::chrono::milliseconds(0)); });
    ::usleep(static_cast<useconds_t>(random() % 60'000));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0)) << "the writer failed";
    finished += WIFEXITED(status) ? 1 : 0;
    unfinished += JournalExists(JournalPathOf(path)) ? 1 : 0;
    if (random() % 2 == 0 && run + 1 < runs) continue;  // the next writer finds what this one left
    int now = 0;
    ASSERT_EQ(testing::NumberedRowsProblem(path, now), "");
    EXPECT_GE(now, rows);
    rows = now;
  }
  testing::ExpectFileKeepsTheChecklist(path);
  EXPECT_LT(finished, runs) << "no writer was killed";
  std::cout << runs << " writers killed at random moments, " << unfinished << " in the middle of a group, "
            << finished << " finished first; the table grew to " << rows << " rows\n";
}

}  // namespace
}  // namespace dao::jet
