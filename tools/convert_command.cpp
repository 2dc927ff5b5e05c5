#include "tools/convert_command.h"

#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "converter/konvert_components.h"
#include "converter/konvert_handlers.h"
#include "converter/konvert_texts.h"
#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/text_case.h"
#include "tools/command_line.h"
#include "tools/exit_status.h"
#include "tools/terminal_konvert.h"

namespace tools {
namespace {

bool HasExtension(const std::string& path, const char* extension) {
  return platform::AnsiSameText(std::filesystem::path(path).extension().string(), extension);
}

}  // namespace

std::optional<ConvertOptions> ParseConvertArguments(const std::vector<std::string>& arguments,
                                                    std::string& problem) {
  const auto split = SplitCommandArguments(arguments, {"--no-categories", "--append"}, {}, problem);
  if (!split) return std::nullopt;
  ConvertOptions options;
  options.categories = !split->flags.contains("--no-categories");
  options.append = split->flags.contains("--append");
  const std::vector<std::string>& files = split->words;
  if (files.size() != 2) {
    problem = "convert needs a SOURCE and a TARGET";
    return std::nullopt;
  }
  options.source = files[0];
  options.target = files[1];
  if (!HasExtension(options.target, converter::texts::kAccessExtension) &&
      !HasExtension(options.target, converter::texts::kTableFileExtension)) {
    problem = "the TARGET must end in .mdb (4.x) or .ntd (5.x)";
    return std::nullopt;
  }
  return options;
}

int ConvertCommand(const std::vector<std::string>& arguments, std::ostream& err, bool terminal) {
  std::string problem;
  const auto options = ParseConvertArguments(arguments, problem);
  if (!options) return ReportBadUsage(kConvertCommand, problem, err);
  // The window would not offer a missing source; it would only say that
  // none was given.
  if (!platform::FileExists(options->source)) {
    err << "nutaro: no such source database: " << options->source << '\n';
    return kExitFailed;
  }

  TerminalKonvert konvert(err, terminal);
  platform::ScopedDialogs dialogs(konvert);
  converter::KonvertComponents components;
  converter::KonvertHandlers handlers(konvert, components);
  try {
    konvert.SetChecked(converter::CheckBox::CBRubrik, options->categories);
    handlers.ChooseSource(options->source);
    handlers.ChooseTarget(options->target, HasExtension(options->target, converter::texts::kTableFileExtension)
                                               ? converter::texts::kTableFileFilterIndex
                                               : converter::texts::kAccessFilterIndex);
    // As in the window, the permission counts only where the box can be
    // used: for a target that exists.
    konvert.SetChecked(converter::CheckBox::CBUeber, options->append);
    const converter::Outcome outcome = handlers.Button1Click();
    return outcome == converter::Outcome::kConverted ? kExitDone : kExitFailed;
  } catch (const platform::EAbort&) {
    konvert.EndProgressLine();
    return kExitFailed;
  } catch (const std::exception& error) {
    konvert.EndProgressLine();
    err << "nutaro: " << error.what() << '\n';
    return kExitFailed;
  }
}

const Command kConvertCommand{
    .name = "convert",
    .synopsis = "SOURCE.mdb TARGET.mdb|TARGET.ntd [--no-categories] [--append]",
    .summary = "convert a Nutaro 3.x or 4.x food table, as the window does",
    .help = "Converts the food table of the Nutaro 3.x or 4.x database SOURCE.mdb (table\n"
            "nuta2 or nuta) into TARGET: a Nutaro 4.x Access database when it ends in\n"
            ".mdb, a Nutaro 5.x table file when it ends in .ntd. The window's own\n"
            "conversion does the work: kilojoules come from kilocalories, missing\n"
            "nutrient values become 0, the entries of a table file are numbered. The\n"
            "window's messages go to standard error; on a terminal a progress line shows\n"
            "the entries converted. An existing TARGET is refused unless --append is\n"
            "given. Any refusal or error ends with exit status 1.\n"
            "\n"
            "  SOURCE.mdb       the database to convert from\n"
            "  TARGET           the database or table file to make or add to\n"
            "  --no-categories  leave the categories (Rubrik) out\n"
            "  --append         add the entries to an existing TARGET (duplicates are\n"
            "                   not looked for)\n",
    .run = [](const CommandArguments& arguments) {
      return ConvertCommand(arguments, std::cerr, ::isatty(STDERR_FILENO) != 0);
    }};

}  // namespace tools
