// The manual page against the program: every command that `nutaro --help`
// lists has its section in nutaro(1), and that section describes every
// option of the command's usage line, so that a new command or option
// cannot ship undocumented. Both pages render without warnings.

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "platform/file_io.h"
#include "platform/testing/temp_folder.h"
#include "tools/tests/program_run.h"

namespace desktop {
namespace {

using platform::testing::TempFolder;
using tools::testing::ListedCommands;
using tools::testing::OptionsOf;
using tools::testing::RunNutaro;
using tools::testing::RunShell;
using tools::testing::ToolRun;

// The page's text without its font changes and escapes, as a reader sees
// the words (\- is the minus of an option, \& separates nothing).
std::string PlainText(std::string page) {
  page = std::regex_replace(page, std::regex(R"(\\f[BIRP])"), "");
  page = std::regex_replace(page, std::regex(R"(\\-)"), "-");
  return std::regex_replace(page, std::regex(R"(\\&)"), "");
}

// The text of the subsection `.SS name` up to the next section or
// subsection; empty when there is none.
std::string Subsection(const std::string& page, const std::string& name) {
  const std::size_t start = page.find("\n.SS " + name + "\n");
  if (start == std::string::npos) return "";
  return page.substr(start, page.find("\n.S", start + 1) - start);
}

TEST(ManualPage, DescribesEveryCommandAndOptionTheProgramOffers) {
  TempFolder folder;
  const std::string page = PlainText(platform::ReadWholeFile(NUTARO_SOURCE_DIR "/desktop/nutaro.1"));
  const ToolRun help = RunNutaro(folder, "--help");
  ASSERT_EQ(help.exitCode, 0);
  const std::vector<std::string> commands = ListedCommands(help.out);
  ASSERT_FALSE(commands.empty()) << help.out;
  for (const std::string& command : commands) {
    SCOPED_TRACE(command);
    const std::string section = Subsection(page, command);
    ASSERT_NE(section, "") << "no section .SS " << command;
    const std::string usage = RunNutaro(folder, command + " --help").out;
    for (const std::string& option : OptionsOf(usage.substr(0, usage.find('\n')))) {
      // A tagged paragraph whose tag begins with the option.
      EXPECT_TRUE(std::regex_search(section, std::regex("\n\\.TP\n\\.BI? " + option + "(\\s|$)")))
          << option << " is not described";
    }
  }
}

TEST(ManualPage, BothPagesNameTheProgramsVersion) {
  for (const std::string page : {"nutaro.1", "nutaro-konverter.1"}) {
    const std::string text = platform::ReadWholeFile(NUTARO_SOURCE_DIR "/desktop/" + page);
    const std::string title = text.substr(0, text.find('\n'));
    EXPECT_NE(title.find(" \"Nutaro " NUTARO_VERSION "\" "), std::string::npos) << page << ": " << title;
  }
}

TEST(ManualPage, BothPagesRenderWithoutWarnings) {
  TempFolder folder;
  if (RunShell(folder, "command -v groff").exitCode != 0) GTEST_SKIP() << "groff is not installed";
  for (const std::string page : {"nutaro.1", "nutaro-konverter.1"}) {
    const ToolRun render =
        RunShell(folder, "LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z " NUTARO_SOURCE_DIR "/desktop/" + page);
    EXPECT_EQ(render.exitCode, 0) << page;
    EXPECT_EQ(render.err, "") << page;
  }
}

}  // namespace
}  // namespace desktop
