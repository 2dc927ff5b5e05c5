#pragma once
// `nutaro query FILE SQL [--csv] [--password TEXT]`: runs one Access SQL
// statement on a Jet database. A query that gives rows (select, union,
// crosstab) prints them as a JSON document of columns and rows in the
// dump's row form, or as CSV; an action query or data definition prints the
// number of records it affected. Action queries run all or nothing: an
// error leaves the file as it was.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tools/command.h"

namespace tools {

struct QueryOptions {
  std::string file;
  std::string sql;
  bool csv = false;
  std::optional<std::string> password;
};

// The options of the arguments after "query"; nothing, with `problem`
// saying why, when they are bad.
std::optional<QueryOptions> ParseQueryArguments(const std::vector<std::string>& arguments, std::string& problem);

// The command as the tool runs it: results on `out`, DAO's error number
// and text on `err`. Returns the exit status (0 done, 1 failed, 2 bad
// arguments).
int QueryCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// `nutaro query` in the tool's list of commands, on standard output and
// standard error.
extern const Command kQueryCommand;

}  // namespace tools
