// nutaro: command-line tools over the converter's libraries.
//
//   nutaro dump FILE [TABLE...] [--schema] [--password TEXT]
//   nutaro load TARGET INPUT.json [--jet3] [--append] [--password TEXT]
//   nutaro convert SOURCE.mdb TARGET.mdb|TARGET.ntd [--no-categories] [--append]
//
// Exit status: 0 success, 1 the file cannot be read or the conversion was
// refused or failed (the message on standard error), 2 bad arguments.

#include <functional>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "tablefile/ntd_session.h"
#include "tools/convert_command.h"
#include "tools/dump_jet.h"
#include "tools/dump_ntd.h"
#include "tools/exit_status.h"
#include "tools/file_format.h"
#include "tools/json_writer.h"
#include "tools/load_command.h"
#include "tools/terminal_password.h"

namespace {

constexpr char kUsage[] =
    "usage: nutaro dump FILE [TABLE...] [--schema] [--password TEXT]\n"
    "       nutaro load TARGET INPUT.json [--jet3] [--append] [--password TEXT]\n"
    "       nutaro convert SOURCE.mdb TARGET.mdb|TARGET.ntd [--no-categories] [--append]\n";

int BadArguments(const std::string& problem) {
  std::cerr << "nutaro: " << problem << '\n' << kUsage;
  return tools::kExitBadArguments;
}

int RunDump(const std::vector<std::string>& arguments) {
  std::string file;
  tools::DumpOptions options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--schema") {
      options.schema = true;
    } else if (argument == "--password") {
      if (++i == arguments.size()) return BadArguments("--password needs a value");
      options.password = arguments[i];
    } else if (argument.starts_with("--")) {
      return BadArguments("unknown option " + argument);
    } else if (file.empty()) {
      file = argument;
    } else {
      options.tables.push_back(argument);
    }
  }
  if (file.empty()) return BadArguments("dump needs a FILE");

  tablefile::TNtdSession::Instance().SetOnAskPassword(tools::AskPasswordOnTerminal);
  switch (tools::RecogniseFileFormat(file)) {
    case tools::FileFormat::kNtd: {
      // A table file is held in memory whole anyway; its document is printed
      // only when complete: a failure prints nothing.
      std::ostringstream document;
      {
        tools::JsonWriter writer(document);
        tools::DumpNtd(file, options, writer);
      }
      std::cout << document.view();
      return tools::kExitDone;
    }
    case tools::FileFormat::kJet3:
    case tools::FileFormat::kJet4: {
      // A Jet database may hold far more than memory: its document is
      // printed as the rows are read. Files and tables are checked before
      // anything is printed; a damaged row ends the document early, with
      // the engine's message and a failing exit status.
      tools::JsonWriter writer(std::cout);
      tools::DumpJet(file, options, writer);
      return tools::kExitDone;
    }
    case tools::FileFormat::kUnknown:
      break;
  }
  std::cerr << "nutaro: not a table file or Jet database: " << file << '\n';
  return tools::kExitFailed;
}

using Command = std::function<int(const std::vector<std::string>&)>;

const std::map<std::string, Command>& Commands() {
  static const std::map<std::string, Command> commands{
      {"dump", RunDump},
      {"load", [](const std::vector<std::string>& arguments) { return tools::LoadCommand(arguments, std::cerr); }},
      {"convert", [](const std::vector<std::string>& arguments) {
         return tools::ConvertCommand(arguments, std::cerr, ::isatty(STDERR_FILENO) != 0);
       }}};
  return commands;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return BadArguments("no command given");
  const auto command = Commands().find(argv[1]);
  if (command == Commands().end()) return BadArguments(std::string("unknown command ") + argv[1]);
  try {
    return command->second(std::vector<std::string>(argv + 2, argv + argc));
  } catch (const std::exception& error) {
    std::cerr << "nutaro: " << error.what() << '\n';
    return tools::kExitFailed;
  }
}
