#include "tools/load_command.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>

#include "platform/errors.h"
#include "platform/text_case.h"
#include "tablefile/ntd_session.h"
#include "tools/command_line.h"
#include "tools/exit_status.h"
#include "tools/file_format.h"
#include "tools/json_reader.h"
#include "tools/load_jet.h"
#include "tools/load_ntd.h"
#include "tools/staged_target.h"
#include "tools/terminal_password.h"

namespace tools {
namespace {

bool NamesTableFile(const std::string& target) {
  return platform::AnsiSameText(std::filesystem::path(target).extension().string(), ".ntd");
}

// Whether the target is (or becomes) a table file: an existing file by its
// content, a new one by its name.
bool TargetIsTableFile(const LoadOptions& options) {
  if (!options.append) return NamesTableFile(options.target);
  switch (RecogniseFileFormat(options.target)) {
    case FileFormat::kNtd: return true;
    case FileFormat::kJet3:
    case FileFormat::kJet4: return false;
    case FileFormat::kUnknown: break;
  }
  throw LoadError(options.target + " is neither a table file nor a Jet database");
}

}  // namespace

LoadSummary RunLoad(const LoadOptions& options, std::istream& in, LoadNotes& notes) {
  const bool tableFile = TargetIsTableFile(options);
  // A Jet database is copied as its last complete write left it.
  const auto settle = [&](const std::string& target) {
    if (!tableFile) RollBackJetWrite(target);
  };
  StagedTarget staged =
      options.append ? StagedTarget::ForChangeOf(options.target, settle) : StagedTarget::ForNewFile(options.target);
  std::unique_ptr<LoadSink> loader;
  if (tableFile) {
    loader = std::make_unique<NtdLoader>(staged.WorkPath(), std::filesystem::path(options.target).stem().string(),
                                         options.append, options.password, notes);
  } else {
    loader = std::make_unique<JetLoader>(staged.WorkPath(), options.jet3, options.append, options.password, notes);
  }
  JsonReader reader(in);
  const LoadSummary summary = ReadLoadDocument(reader, *loader);
  loader.reset();
  staged.Commit();
  return summary;
}

std::optional<LoadOptions> ParseLoadArguments(const std::vector<std::string>& arguments, std::string& problem) {
  const auto split = SplitCommandArguments(arguments, {"--jet3", "--append"}, {"--password"}, problem);
  if (!split) return std::nullopt;
  LoadOptions options;
  options.jet3 = split->flags.contains("--jet3");
  options.append = split->flags.contains("--append");
  if (const auto password = split->values.find("--password"); password != split->values.end()) {
    options.password = password->second;
  }
  const std::vector<std::string>& files = split->words;
  if (files.size() != 2) {
    problem = "load needs a TARGET and an INPUT.json";
    return std::nullopt;
  }
  options.target = files[0];
  options.input = files[1];
  if (options.jet3 && (options.append || NamesTableFile(options.target))) {
    problem = "--jet3 chooses the format of a new Jet database; it does not go with --append or a .ntd target";
    return std::nullopt;
  }
  return options;
}

LoadSummary RunLoad(const LoadOptions& options, LoadNotes& notes) {
  if (options.input == "-") return RunLoad(options, std::cin, notes);
  std::ifstream in(options.input, std::ios::binary);
  if (!in) throw platform::FileError("Cannot open file", options.input, errno);
  return RunLoad(options, in, notes);
}

int LoadCommand(const std::vector<std::string>& arguments, std::ostream& err) {
  std::string problem;
  const auto options = ParseLoadArguments(arguments, problem);
  if (!options) return ReportBadUsage(kLoadCommand, problem, err);
  // An enciphered table to append to asks for its password when none fits.
  tablefile::TNtdSession::Instance().SetOnAskPassword(AskPasswordOnTerminal);
  LoadNotes notes;
  try {
    RunLoad(*options, notes);
  } catch (const JsonError& error) {
    err << "nutaro: " << options->input << ", " << error.what() << '\n';
    return kExitFailed;
  } catch (const LoadError& error) {
    err << "nutaro: " << (error.InDocument() ? options->input + ", " : "") << error.what() << '\n';
    return kExitFailed;
  } catch (const platform::FileError& error) {
    err << "nutaro: " << error.what() << '\n';  // names its path
    return kExitFailed;
  } catch (const std::exception& error) {
    err << "nutaro: " << options->target << ": " << error.what() << '\n';
    return kExitFailed;
  }
  notes.Print(err);
  return kExitDone;
}

const Command kLoadCommand{
    .name = "load",
    .synopsis = "TARGET INPUT.json [--jet3] [--append] [--password TEXT]",
    .summary = "make a table file or database from a JSON document, or add to one",
    .help = "Makes TARGET from a JSON document of the form 'nutaro dump --schema' prints:\n"
            "a table file when TARGET ends in .ntd, otherwise an Access database. TARGET\n"
            "is built aside and put in place only when the whole document went in; on\n"
            "any error it stays as it was. An existing TARGET is refused unless --append\n"
            "is given.\n"
            "\n"
            "  TARGET           the table file or database to make or add to\n"
            "  INPUT.json       the document; - reads standard input\n"
            "  --jet3           make a Jet 3 database (Access 97) instead of Jet 4\n"
            "  --append         add the rows to the tables of an existing TARGET\n"
            "  --password TEXT  the password of an existing enciphered TARGET\n",
    .run = [](const CommandArguments& arguments) { return LoadCommand(arguments, std::cerr); }};

}  // namespace tools
