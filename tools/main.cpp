// nutaro: command-line tools over the converter's libraries.
//
//   nutaro dump FILE [TABLE...] [--schema] [--password TEXT]
//   nutaro load TARGET INPUT.json [--jet3] [--append] [--password TEXT]
//
// Exit status: 0 success, 1 the file cannot be read (the engine's message on
// standard error), 2 bad arguments.

#include <functional>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tablefile/ntd_session.h"
#include "tools/dump_jet.h"
#include "tools/dump_ntd.h"
#include "tools/file_format.h"
#include "tools/json_writer.h"
#include "tools/load_command.h"
#include "tools/terminal_password.h"

namespace {

constexpr int kSuccess = 0;
constexpr int kUnreadable = 1;
constexpr int kBadArguments = 2;
constexpr std::size_t kDocumentRoom = 64u << 20;

constexpr char kUsage[] =
    "usage: nutaro dump FILE [TABLE...] [--schema] [--password TEXT]\n"
    "       nutaro load TARGET INPUT.json [--jet3] [--append] [--password TEXT]\n";

int BadArguments(const std::string& problem) {
  std::cerr << "nutaro: " << problem << '\n' << kUsage;
  return kBadArguments;
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
  // The document is printed only when complete: a failure prints nothing.
  // Room reserved up front is only touched as far as it is used, and spares
  // the copies of a buffer that keeps growing.
  std::string room;
  room.reserve(kDocumentRoom);
  std::ostringstream document(std::move(room));
  tools::JsonWriter writer(document);
  switch (tools::RecogniseFileFormat(file)) {
    case tools::FileFormat::kNtd:
      tools::DumpNtd(file, options, writer);
      break;
    case tools::FileFormat::kJet3:
    case tools::FileFormat::kJet4:
      tools::DumpJet(file, options, writer);
      break;
    case tools::FileFormat::kUnknown:
      std::cerr << "nutaro: not a table file or Jet database: " << file << '\n';
      return kUnreadable;
  }
  std::cout << document.view();
  return kSuccess;
}

using Command = std::function<int(const std::vector<std::string>&)>;

const std::map<std::string, Command>& Commands() {
  static const std::map<std::string, Command> commands{
      {"dump", RunDump},
      {"load", [](const std::vector<std::string>& arguments) { return tools::LoadCommand(arguments, std::cerr); }}};
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
    return kUnreadable;
  }
}
