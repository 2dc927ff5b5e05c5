#pragma once
// One command of `nutaro` as the program knows it: its name, how it is
// called, what it does, and the function that runs it. Each command defines
// its entry beside its own code, so that its usage line and its help are
// written once, next to the arguments they describe; main.cpp only lists the
// entries. The list of commands for `nutaro --help`, the text of
// `nutaro NAME --help` and the usage line after a misuse are all made from
// these entries (tools/command_line.h).

#include <string>
#include <string_view>
#include <vector>

namespace tools {

using CommandArguments = std::vector<std::string>;  // the words after the command's name

struct Command {
  std::string_view name;      // "dump"
  std::string_view synopsis;  // the words after the name: "FILE [TABLE...] [--schema]"
  std::string_view summary;   // one line for the list of commands
  std::string_view help;      // what the command does and what each argument means, lines ended by '\n'
  // Runs the command; returns the exit status (tools/exit_status.h). An
  // exception that escapes is reported as a failure.
  int (*run)(const CommandArguments& arguments);
};

}  // namespace tools
