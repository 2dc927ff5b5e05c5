// nutaro: command-line tools over the converter's libraries. Each command
// is one tools::Command entry; `nutaro --help` lists them, and
// tools/command_line.h turns the command line into a run of one of them.
//
// Exit status: 0 success, 1 a file cannot be read or a conversion was
// refused or failed (the message on standard error), 2 bad arguments.

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "tablefile/ntd_session.h"
#include "tools/command.h"
#include "tools/command_line.h"
#include "tools/convert_command.h"
#include "tools/dump_jet.h"
#include "tools/dump_ntd.h"
#include "tools/exit_status.h"
#include "tools/file_format.h"
#include "tools/json_writer.h"
#include "tools/load_command.h"
#include "tools/query_command.h"
#include "tools/terminal_password.h"

namespace {

int RunDump(const std::vector<std::string>& arguments);

constexpr tools::Command kDumpCommand{
    .name = "dump",
    .synopsis = "FILE [TABLE...] [--schema] [--password TEXT] [--filter TEXT] [--order FIELDS]",
    .summary = "print the tables of a table file or database as JSON",
    .help = "Prints the tables of FILE as one JSON document on standard output. FILE is a\n"
            "Nutaro table file (.ntd) or an Access database (.mdb, Jet 3 or Jet 4),\n"
            "recognised by its content, not by its name. The same file always gives the\n"
            "same document; nutaro(1) describes its form.\n"
            "\n"
            "  FILE             the table file or database to read\n"
            "  TABLE...         only these tables (default: every user table)\n"
            "  --schema         also print each table's indexes and field properties\n"
            "  --password TEXT  the password of an enciphered table file or of a\n"
            "                   database that has one\n"
            "  --filter TEXT    only the rows that the filter accepts: for a table file a\n"
            "                   filter expression, e.g. \"Kcal > 100 AND Rubrik = 'Obst'\",\n"
            "                   for a database an Access SQL condition, e.g.\n"
            "                   \"[Kcal] > 100 AND [Rubrik] Like 'Obst*'\"\n"
            "  --order FIELDS   the rows in the order of these fields, separated by\n"
            "                   semicolons (in a database each may end in DESC)\n",
    .run = RunDump};

int BadArguments(const std::string& problem) { return tools::ReportBadUsage(kDumpCommand, problem, std::cerr); }

int RunDump(const std::vector<std::string>& arguments) {
  std::string problem;
  const auto split = tools::SplitCommandArguments(arguments, {"--schema"}, {"--password", "--filter", "--order"}, problem);
  if (!split) return BadArguments(problem);
  if (split->words.empty()) return BadArguments("dump needs a FILE");
  const std::string& file = split->words.front();
  tools::DumpOptions options;
  options.tables.assign(split->words.begin() + 1, split->words.end());
  options.schema = split->flags.contains("--schema");
  for (const auto& [option, value] : split->values) {
    if (option == "--password") options.password = value;
    if (option == "--filter") options.filter = value;
    if (option == "--order") options.order = value;
  }

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
      if (options.filter || !options.order.empty()) {
        // A condition or an order DAO refuses is found only when a table is
        // opened: the document is printed when complete, or not at all.
        std::ostringstream document;
        {
          tools::JsonWriter writer(document);
          tools::DumpJet(file, options, writer);
        }
        std::cout << document.view();
        return tools::kExitDone;
      }
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

// The commands in the order `nutaro --help` lists them: by name.
constexpr const tools::Command* kCommands[] = {
    &tools::kConvertCommand,
    &kDumpCommand,
    &tools::kLoadCommand,
    &tools::kQueryCommand,
};

}  // namespace

int main(int argc, char** argv) {
  return tools::RunCommandLine(kCommands, tools::CommandArguments(argv + 1, argv + argc), std::cout, std::cerr);
}
