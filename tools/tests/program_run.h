#pragma once
// The built `nutaro` program, and other programs the tests check their
// results with, run as a user runs them, through the shell, for the tests
// of what they print and the exit status they answer with.

#include <string>
#include <vector>

#include "platform/testing/temp_folder.h"

namespace tools::testing {

// What a run answered: its exit status and what it printed.
struct ToolRun {
  int exitCode;  // 128 + the signal's number when a signal ended the program
  std::string out;
  std::string err;
};

// Runs the shell command line `command`; standard input is empty unless the
// command redirects it. What it prints is caught in the files "out" and
// "err" of `folder`.
ToolRun RunShell(const platform::testing::TempFolder& folder, const std::string& command);

// Runs the built `nutaro` with `arguments` as shell words (redirections
// included), as RunShell does; a prompt for a password ends instead of
// waiting.
ToolRun RunNutaro(const platform::testing::TempFolder& folder, const std::string& arguments);

// The command names of the "Commands:" block of `nutaro --help`.
std::vector<std::string> ListedCommands(const std::string& help);

// The options (words beginning with "--") of a usage line.
std::vector<std::string> OptionsOf(const std::string& usage);

}  // namespace tools::testing
