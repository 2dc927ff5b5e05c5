#include "tools/command_line.h"

#include <algorithm>
#include <exception>

#include "tools/exit_status.h"

namespace tools {
namespace {

constexpr std::string_view kProgram = "nutaro";

void PrintProgramUsage(std::ostream& stream) {
  stream << "usage: nutaro COMMAND [ARGUMENTS...]\n"
            "       nutaro COMMAND --help\n"
            "       nutaro --help | --version\n";
}

void PrintCommandUsage(const Command& command, std::ostream& stream) {
  stream << "usage: " << kProgram << ' ' << command.name << ' ' << command.synopsis << '\n';
}

void PrintProgramHelp(std::span<const Command* const> commands, std::ostream& out) {
  PrintProgramUsage(out);
  out << "\nReads and writes the food tables of the Nutaro calorie manager: Access\n"
         "databases (.mdb) of Jet 3 and Jet 4, and Nutaro table files (.ntd).\n"
         "\nCommands:\n";
  std::size_t width = 0;
  for (const Command* command : commands) width = std::max(width, command->name.size());
  for (const Command* command : commands) {
    out << "  " << command->name << std::string(width - command->name.size() + 2, ' ') << command->summary << '\n';
  }
  out << "\nExit status: 0 done, 1 failed (the reason on standard error), 2 bad arguments.\n"
         "'nutaro COMMAND --help' describes one command, 'man nutaro' all of them.\n";
}

int ReportBadProgramUsage(std::span<const Command* const> commands, const std::string& problem, std::ostream& err) {
  err << kProgram << ": " << problem << '\n';
  PrintProgramUsage(err);
  err << "commands:";
  for (const Command* command : commands) err << ' ' << command->name;
  err << '\n';
  return kExitBadArguments;
}

bool AsksForHelp(const CommandArguments& arguments) {
  return std::find(arguments.begin(), arguments.end(), "--help") != arguments.end();
}

}  // namespace

int ReportBadUsage(const Command& command, const std::string& problem, std::ostream& err) {
  err << kProgram << ": " << problem << '\n';
  PrintCommandUsage(command, err);
  return kExitBadArguments;
}

std::optional<SplitArguments> SplitCommandArguments(const CommandArguments& arguments,
                                                    std::initializer_list<std::string_view> flags,
                                                    std::initializer_list<std::string_view> valued,
                                                    std::string& problem) {
  const auto listed = [](std::initializer_list<std::string_view> options, const std::string& argument) {
    return std::find(options.begin(), options.end(), argument) != options.end();
  };
  SplitArguments split;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (listed(flags, argument)) {
      split.flags.insert(argument);
    } else if (listed(valued, argument)) {
      if (++i == arguments.size()) {
        problem = argument + " needs a value";
        return std::nullopt;
      }
      split.values[argument] = arguments[i];
    } else if (argument.starts_with("--")) {
      problem = "unknown option " + argument;
      return std::nullopt;
    } else {
      split.words.push_back(argument);
    }
  }
  return split;
}

int RunCommandLine(std::span<const Command* const> commands, const CommandArguments& arguments, std::ostream& out,
                   std::ostream& err) {
  if (arguments.empty()) return ReportBadProgramUsage(commands, "no command given", err);
  const std::string& first = arguments.front();
  if (first == "--help" || first == "-h") {
    PrintProgramHelp(commands, out);
    return kExitDone;
  }
  if (first == "--version") {
    out << kProgram << ' ' << NUTARO_VERSION << '\n';
    return kExitDone;
  }
  const auto named = std::find_if(commands.begin(), commands.end(),
                                  [&](const Command* command) { return command->name == first; });
  if (named == commands.end()) {
    return ReportBadProgramUsage(commands, (first.starts_with("-") ? "unknown option " : "unknown command ") + first,
                                 err);
  }
  const Command& command = **named;
  const CommandArguments rest(arguments.begin() + 1, arguments.end());
  if (AsksForHelp(rest)) {
    PrintCommandUsage(command, out);
    out << '\n' << command.help;
    return kExitDone;
  }
  try {
    return command.run(rest);
  } catch (const std::exception& error) {
    err << kProgram << ": " << error.what() << '\n';
    return kExitFailed;
  }
}

}  // namespace tools
