#pragma once
// `nutaro convert SOURCE.mdb TARGET.mdb|TARGET.ntd [--no-categories]
// [--append]`: the main window's conversion without the window. It chooses
// the source and the target as a person would in the window's dialogs
// (".ntd" picks the 5.x table file, ".mdb" the 4.x Access database), sets
// "Rubriken übernehmen" and the append permission from the options, and
// presses "&Konvertieren": the same components and handlers do the work,
// with the window's messages on standard error.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tools/command.h"

namespace tools {

struct ConvertOptions {
  std::string source;
  std::string target;
  bool categories = true;  // "Rubriken übernehmen"
  bool append = false;     // "Daten hinzufügen (sofern Datenbank bereits vorhanden)."
};

// The options of the arguments after "convert"; nothing, with `problem`
// saying why, when they are bad.
std::optional<ConvertOptions> ParseConvertArguments(const std::vector<std::string>& arguments,
                                                    std::string& problem);

// The command as the tool runs it; `terminal` asks for a progress line on
// `err`. Returns the exit status: 0 converted, 1 refused or failed, 2 bad
// arguments.
int ConvertCommand(const std::vector<std::string>& arguments, std::ostream& err, bool terminal);

// The command's entry: standard error, a progress line when it is a terminal.
extern const Command kConvertCommand;

}  // namespace tools
