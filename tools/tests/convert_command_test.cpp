// `nutaro convert` as a user runs it: its arguments, and the progress line
// it shows on a terminal. What it converts is checked beside the window's
// conversions (app/tests/konvert_conversion_test.cpp), which it must match.
#include <gtest/gtest.h>

#include <filesystem>

#include "converter/testing/nutaro_sources.h"
#include "dao/jet/tests/external_readers.h"
#include "dao/tests/fixture_support.h"
#include "platform/file_io.h"
#include "tools/tests/program_run.h"

namespace tools {
namespace {

using testing::RunNutaro;

TEST(ConvertCommand, BadArgumentsAreAUsageErrorThatTouchesNothing) {
  platform::testing::TempFolder folder;
  const std::string source = folder.Write("quelle.mdb", "");
  for (const std::string arguments :
       {std::string("convert"), "convert '" + source + "'", "convert '" + source + "' a.mdb b.mdb",
        "convert '" + source + "' ziel.txt", "convert '" + source + "' ziel.mdb --force"}) {
    const testing::ToolRun run = RunNutaro(folder, arguments);
    EXPECT_EQ(run.exitCode, 2) << arguments;
    EXPECT_NE(run.err.find("usage: nutaro convert SOURCE.mdb TARGET.mdb|TARGET.ntd"), std::string::npos) << run.err;
  }
  EXPECT_EQ(folder.Listing(), (std::set<std::string>{"quelle.mdb", "out", "err"}));
}

TEST(ConvertCommand, AMissingOrUnreadableSourceFails) {
  platform::testing::TempFolder folder;
  testing::ToolRun run = RunNutaro(folder, "convert '" + folder.File("fehlt.mdb") + "' '" + folder.File("z.ntd") + "'");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "nutaro: no such source database: " + folder.File("fehlt.mdb") + "\n");
  folder.Write("kaputt.mdb", std::string(4096, 'x'));
  run = RunNutaro(folder, "convert '" + folder.File("kaputt.mdb") + "' '" + folder.File("z.ntd") + "'");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("Unrecognized database format"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(folder.File("z.ntd")));
}

TEST(ConvertCommand, ShowsOneProgressLineOnATerminal) {
  if (dao::testing::FixturesDir().empty()) GTEST_SKIP() << "the fixture folder is absent";
  if (!dao::jet::testing::RunCommand("command -v script >/dev/null 2>&1")) GTEST_SKIP() << "no script(1)";
  platform::testing::TempFolder folder;
  const std::string source = converter::testing::CopyNutaroFixture("nuta4-basic", folder.File("nuta4.mdb"));
  // script(1) gives the program a terminal and copies what it writes.
  const std::string command = std::string(NUTARO_BINARY_DIR) + "/tools/nutaro convert " + source + " " +
                              folder.File("ziel.ntd");
  const auto shown = dao::jet::testing::RunCommand("script -qec '" + command + "' /dev/null");
  ASSERT_TRUE(shown.has_value());
  // Each pass rewrites the line with its caption (a table file counts the
  // rows it holds before the pass); the first and the last pass are always
  // shown, and the line ends before the message.
  EXPECT_EQ(shown->find("\r0 Einträge (1/28)"), 0u) << *shown;
  EXPECT_NE(shown->find("\r27 Einträge (28/28)   \r\nHinweis: Konvertierung erfolgreich abgeschlossen !"),
            std::string::npos)
      << *shown;
  EXPECT_EQ(shown->find('\n'), shown->find("\r\nHinweis") + 1) << "one line only";
}

}  // namespace
}  // namespace tools
