#pragma once
// The dump document of a Jet 3 / Jet 4 database (see the dump format page),
// read through the DAO objects: the named tables, or every user table, with
// columns of their DAO types and the rows in storage order.

#include <string>

#include "tools/dump_ntd.h"
#include "tools/json_writer.h"

namespace tools {

// Writes the document of the database at `path`. Throws dao::DaoError when
// the database cannot be read (3031 for a wrong password) and
// std::runtime_error for a table name the database does not hold.
void DumpJet(const std::string& path, const DumpOptions& options, JsonWriter& out);

}  // namespace tools
