#include "tools/query_command.h"

#include <iostream>

#include "dao/constants.h"
#include "dao/dao_error.h"
#include "dao/db_engine.h"
#include "dao/sql/stored_query.h"
#include "platform/file_io.h"
#include "tools/command_line.h"
#include "tools/csv_value_sink.h"
#include "tools/dump_jet.h"
#include "tools/exit_status.h"
#include "tools/file_format.h"
#include "tools/json_writer.h"
#include "tools/open_jet_database.h"

namespace tools {
namespace {

int RunQueryCommand(const CommandArguments& arguments) { return QueryCommand(arguments, std::cout, std::cerr); }

bool GivesRows(int queryType) {
  return queryType == dao::sql::kQuerySelect || queryType == dao::sql::kQueryCrosstab ||
         queryType == dao::sql::kQueryUnion;
}

void PrintJson(dao::Recordset& rows, std::ostream& out) {
  JsonWriter writer(out);
  writer.BeginObject();
  WriteColumnsMember(rows.Fields(), false, writer);
  WriteRowsMember(rows, writer);
  writer.EndObject();
  writer.Finish();
}

void PrintCsv(dao::Recordset& rows, std::ostream& out) {
  std::vector<std::string> names;
  for (const auto& field : rows.Fields()) names.push_back(field->Name());
  out << CsvHeader(names) << '\n';
  CsvValueSink sink;
  for (; !rows.AtEOF(); rows.MoveNext()) {
    sink.Clear();
    rows.ReadRow(sink);
    out << sink.Line() << '\n';
  }
}

int RunQuery(const QueryOptions& options, std::ostream& out) {
  const auto engine = dao::DBEngine::Create("DAO.DBEngine.36");
  const auto workspace = engine->CreateWorkspace("nutaro query", "Admin", "");
  // The statement is read on the database opened for reading; only an
  // action query opens it for writing.
  auto database = OpenJetDatabase(*workspace, options.file, options.password, true);
  const auto query = database->CreateQueryDef("", options.sql);
  if (GivesRows(query->Type())) {
    const auto rows = query->OpenRecordset(dao::dbOpenForwardOnly);
    if (options.csv) {
      PrintCsv(*rows, out);
    } else {
      PrintJson(*rows, out);
    }
    return kExitDone;
  }
  // The connect string holds the password the database was opened with,
  // also one asked for on the terminal.
  const std::string connect = database->Connect();
  database->Close();
  database = workspace->OpenDatabase(options.file, false, false, connect);
  database->Execute(options.sql, dao::dbFailOnError);
  out << database->RecordsAffected() << '\n';
  database->Close();
  return kExitDone;
}

}  // namespace

const Command kQueryCommand{
    .name = "query",
    .synopsis = "FILE SQL [--csv] [--password TEXT]",
    .summary = "run Access SQL on a database: the rows of a SELECT, or the records a change affected",
    .help = "Runs the Access SQL statement SQL on the Jet database FILE. A SELECT (also a\n"
            "union or crosstab) prints its rows as a JSON document: \"columns\" with the\n"
            "name, DAO type and size of each, and \"rows\" in the row form of the dump\n"
            "document. An action query (INSERT, UPDATE, DELETE, SELECT ... INTO) or data\n"
            "definition (CREATE TABLE, ALTER TABLE, CREATE INDEX, DROP ...) prints the\n"
            "number of records it affected; it changes all its records or, on an error,\n"
            "none. An error prints DAO's number and text on standard error (exit status 1).\n"
            "\n"
            "  FILE             the Access database (.mdb, Jet 3 or Jet 4)\n"
            "  SQL              one statement, quoted for the shell\n"
            "  --csv            print the rows as comma-separated values with a header\n"
            "                   line, as mdb-export writes them (dates as\n"
            "                   YYYY-MM-DD HH:MM:SS, binary as hex, an empty text\n"
            "                   as \"\" apart from Null)\n"
            "  --password TEXT  the password of a database that has one\n",
    .run = RunQueryCommand};

std::optional<QueryOptions> ParseQueryArguments(const std::vector<std::string>& arguments, std::string& problem) {
  const auto split = SplitCommandArguments(arguments, {"--csv"}, {"--password"}, problem);
  if (!split) return std::nullopt;
  if (split->words.size() != 2) {
    problem = "query needs a FILE and one SQL statement";
    return std::nullopt;
  }
  QueryOptions options;
  options.file = split->words[0];
  options.sql = split->words[1];
  options.csv = split->flags.contains("--csv");
  if (const auto password = split->values.find("--password"); password != split->values.end()) {
    options.password = password->second;
  }
  return options;
}

int QueryCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  std::string problem;
  const auto options = ParseQueryArguments(arguments, problem);
  if (!options) return ReportBadUsage(kQueryCommand, problem, err);
  if (!platform::FileExists(options->file)) {
    err << "nutaro: no such database: " << options->file << '\n';
    return kExitFailed;
  }
  const FileFormat format = RecogniseFileFormat(options->file);
  if (format != FileFormat::kJet3 && format != FileFormat::kJet4) {
    err << "nutaro: not a Jet database: " << options->file << '\n';
    return kExitFailed;
  }
  try {
    return RunQuery(*options, out);
  } catch (const dao::DaoError& error) {
    out.flush();
    err << "nutaro: error " << error.Number() << ": " << error.Description() << '\n';
    return kExitFailed;
  }
}

}  // namespace tools
