#pragma once
// `nutaro load TARGET INPUT.json [--jet3] [--append] [--password TEXT]`:
// builds a table file (TARGET ending in .ntd) or a new Jet database from a
// dump document, or appends the document's rows to an existing one. The
// target is built aside and put in place only when the whole document went
// in, so every failure leaves it as it was.

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tools/command.h"
#include "tools/load_document.h"
#include "tools/load_report.h"

namespace tools {

struct LoadOptions {
  std::string target;
  std::string input;  // "-" reads standard input
  bool jet3 = false;
  bool append = false;
  std::optional<std::string> password;  // of an existing enciphered table or database
};

// The options of the arguments after "load"; nothing, with `problem`
// saying why, when they are bad.
std::optional<LoadOptions> ParseLoadArguments(const std::vector<std::string>& arguments, std::string& problem);

// Loads as `options` say. Throws LoadError, JsonError, platform::FileError
// or the engine's error; the target is then unchanged.
LoadSummary RunLoad(const LoadOptions& options, LoadNotes& notes);
// The same with the document read from `input` (options.input only names
// it).
LoadSummary RunLoad(const LoadOptions& options, std::istream& input, LoadNotes& notes);

// The command as the tool runs it: messages and notes on `err`; returns
// the exit status (0 done, 1 failed, 2 bad arguments).
int LoadCommand(const std::vector<std::string>& arguments, std::ostream& err);

// `nutaro load` in the tool's list of commands; runs LoadCommand with
// messages on standard error.
extern const Command kLoadCommand;

}  // namespace tools
