#include "tools/tests/program_run.h"

#include <sys/wait.h>

#include <cstdlib>

#include "platform/file_io.h"

namespace tools::testing {

ToolRun RunNutaro(const platform::testing::TempFolder& folder, const std::string& arguments) {
  // The empty input comes first so that a redirection among the arguments
  // takes its place; a prompt for a password then ends instead of waiting.
  const std::string command = std::string(NUTARO_BINARY_DIR) + "/tools/nutaro </dev/null " + arguments + " >" +
                              folder.File("out") + " 2>" + folder.File("err");
  const int status = std::system(command.c_str());
  return {WEXITSTATUS(status), platform::ReadWholeFile(folder.File("out")), platform::ReadWholeFile(folder.File("err"))};
}

}  // namespace tools::testing
