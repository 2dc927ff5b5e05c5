#pragma once
// What `nutaro` does with its command line before a command runs: the
// program's own options (--help, --version), `nutaro NAME --help`, and the
// messages for a misuse, all made from the commands' entries.

#include <initializer_list>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

// A command's arguments sorted out: its options and its other words.
struct SplitArguments {
  std::vector<std::string> words;             // the arguments that are no options, in order
  std::set<std::string> flags;                // the options without a value that were given
  std::map<std::string, std::string> values;  // the options with a value, by option
};

// Sorts `arguments` into the options `flags` (without a value), the
// options `valued` (each followed by its value) and the other words.
// Nothing, with `problem` saying why, for an unknown option ("--...") or
// an option without its value.
std::optional<SplitArguments> SplitCommandArguments(const CommandArguments& arguments,
                                                    std::initializer_list<std::string_view> flags,
                                                    std::initializer_list<std::string_view> valued,
                                                    std::string& problem);

}  // namespace tools
