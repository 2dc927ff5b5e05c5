// What `nutaro` answers about itself: the list of commands, each command's
// help, the version, and misuse. The program runs as a user runs it.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "tools/tests/program_run.h"

namespace tools {
namespace {

using platform::testing::TempFolder;
using testing::ListedCommands;
using testing::OptionsOf;
using testing::RunNutaro;
using testing::ToolRun;

TEST(CommandLine, ListsItsCommandsAndEachDescribesEveryOptionOfItsUsage) {
  TempFolder folder;
  const ToolRun help = RunNutaro(folder, "--help");
  ASSERT_EQ(help.exitCode, 0) << help.err;
  EXPECT_EQ(help.err, "");
  EXPECT_EQ(help.out.rfind("usage: nutaro COMMAND", 0), 0u) << help.out;
  EXPECT_EQ(RunNutaro(folder, "-h").out, help.out);

  const std::vector<std::string> commands = ListedCommands(help.out);
  for (const char* command : {"dump", "load"}) {
    EXPECT_NE(std::find(commands.begin(), commands.end(), command), commands.end()) << command;
  }
  for (const std::string& command : commands) {
    SCOPED_TRACE(command);
    const ToolRun run = RunNutaro(folder, command + " --help");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string usage = run.out.substr(0, run.out.find('\n'));
    EXPECT_EQ(usage.rfind("usage: nutaro " + command + " ", 0), 0u) << usage;
    const std::string body = run.out.substr(usage.size());
    EXPECT_GT(body.size(), 2u) << "no description";
    for (const std::string& option : OptionsOf(usage)) {
      EXPECT_NE(body.find("  " + option), std::string::npos) << option << " is not described";
    }
  }
}

TEST(CommandLine, HelpAndVersionNeitherRunACommandNorTouchFiles) {
  TempFolder folder;
  const std::string input = folder.Write("food.json", "{\"format\": \"ntd\", \"tables\": []}");
  const ToolRun help = RunNutaro(folder, "load " + folder.File("food.ntd") + " " + input + " --help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(help.out.rfind("usage: nutaro load ", 0), 0u);
  EXPECT_FALSE(std::filesystem::exists(folder.File("food.ntd")));

  const ToolRun version = RunNutaro(folder, "--version");
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_TRUE(std::regex_match(version.out, std::regex("nutaro [0-9]+\\.[0-9]+\n"))) << version.out;
  EXPECT_EQ(version.err, "");
}

TEST(CommandLine, MisuseIsNamedWithTheUsageOnStandardErrorAndStatusTwo) {
  TempFolder folder;
  for (const std::string arguments : {"", "shrink food.ntd", "--verbose", "-x"}) {
    SCOPED_TRACE(arguments);
    const ToolRun run = RunNutaro(folder, arguments);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("usage: nutaro COMMAND"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("commands: "), std::string::npos) << run.err;
  }
  EXPECT_EQ(RunNutaro(folder, "shrink").err.rfind("nutaro: unknown command shrink\n", 0), 0u);
  EXPECT_EQ(RunNutaro(folder, "--verbose").err.rfind("nutaro: unknown option --verbose\n", 0), 0u);

  const ToolRun dump = RunNutaro(folder, "dump");
  EXPECT_EQ(dump.exitCode, 2);
  EXPECT_EQ(dump.out, "");
  EXPECT_EQ(dump.err.rfind("nutaro: dump needs a FILE\nusage: nutaro dump FILE ", 0), 0u) << dump.err;
}

}  // namespace
}  // namespace tools
