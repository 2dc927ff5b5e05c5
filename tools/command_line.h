#pragma once
// What `nutaro` does with its command line before a command runs: the
// program's own options (--help, --version), `nutaro NAME --help`, and the
// messages for a misuse, all made from the commands' entries.

#include <ostream>
#include <span>
#include <string>

#include "tools/command.h"

namespace tools {

// Runs the command line `arguments` (the words after the program's name)
// over `commands`: help and the version go to `out` with status 0; a misuse
// is named on `err` with the usage, status 2; otherwise the named command
// runs and its status is returned (1 when an error escapes it, the reason
// on `err`).
int RunCommandLine(std::span<const Command* const> commands, const CommandArguments& arguments, std::ostream& out,
                   std::ostream& err);

// Names the misuse `problem` of `command` and its usage line on `err`;
// returns the exit status for bad arguments.
int ReportBadUsage(const Command& command, const std::string& problem, std::ostream& err);

}  // namespace tools
