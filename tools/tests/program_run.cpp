#include "tools/tests/program_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <regex>
#include <sstream>

#include "platform/file_io.h"

namespace tools::testing {

ToolRun RunShell(const platform::testing::TempFolder& folder, const std::string& command) {
  // The empty input comes first so that a redirection in the command takes
  // its place.
  const std::string line =
      "exec </dev/null >" + folder.File("out") + " 2>" + folder.File("err") + "\n" + command;
  const int status = std::system(line.c_str());
  const int exitCode = WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
  return {exitCode, platform::ReadWholeFile(folder.File("out")), platform::ReadWholeFile(folder.File("err"))};
}

ToolRun RunNutaro(const platform::testing::TempFolder& folder, const std::string& arguments) {
  return RunShell(folder, std::string(NUTARO_BINARY_DIR) + "/tools/nutaro " + arguments);
}

std::vector<std::string> ListedCommands(const std::string& help) {
  const std::size_t block = help.find("\nCommands:\n");
  if (block == std::string::npos) return {};
  std::istringstream lines(help.substr(block + 11));
  std::vector<std::string> names;
  for (std::string line; std::getline(lines, line) && !line.empty();) {
    std::istringstream words(line);
    names.emplace_back();
    words >> names.back();
  }
  return names;
}

std::vector<std::string> OptionsOf(const std::string& usage) {
  static const std::regex option("--[a-z0-9-]+");
  std::vector<std::string> options;
  for (auto match = std::sregex_iterator(usage.begin(), usage.end(), option); match != std::sregex_iterator();
       ++match) {
    options.push_back(match->str());
  }
  return options;
}

}  // namespace tools::testing
