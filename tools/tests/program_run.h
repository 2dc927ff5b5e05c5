#pragma once
// The built `nutaro` program run as a user runs it, through the shell, for
// the tests of what it prints and the exit status it answers with.

#include <string>

#include "platform/testing/temp_folder.h"

namespace tools::testing {

// What a run answered: its exit status and what it printed.
struct ToolRun {
  int exitCode;
  std::string out;
  std::string err;
};

// Runs `nutaro` with `arguments` as shell words (redirections included);
// standard input is empty unless the arguments redirect it. What the
// program prints is caught in the files "out" and "err" of `folder`.
ToolRun RunNutaro(const platform::testing::TempFolder& folder, const std::string& arguments);

}  // namespace tools::testing
