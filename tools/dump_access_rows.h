#pragma once
// The rows of one table of an Access database for the dump document when a
// filter or an order is asked for: read through the Access layer's table
// component, which hands the condition to DAO as its Filter and the fields
// as its Sort, so that the layer can be checked from outside.

#include <string>

#include "tools/dump_ntd.h"
#include "tools/json_writer.h"

namespace tools {

// Writes the "rows" array of `table` of the database at `path`: the rows
// that meet options.filter (an Access SQL condition), in the order of
// options.order (";"-separated field names, each optionally followed by
// DESC). DAO's errors (a wrong condition or field) pass through.
void DumpAccessRows(const std::string& path, const std::string& table, const DumpOptions& options, JsonWriter& out);

}  // namespace tools
