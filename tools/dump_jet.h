#pragma once
// The dump document of a Jet 3 / Jet 4 database (see the dump format page),
// read through the DAO objects: the named tables, or every user table, with
// columns of their DAO types and the rows in storage order.

#include <string>

#include "platform/date_time.h"
#include "platform/variant.h"
#include "tools/dump_ntd.h"
#include "tools/json_writer.h"

namespace tools {

// Writes the document of the database at `path`. Throws dao::DaoError when
// the database cannot be read (3031 for a wrong password) and
// std::runtime_error for a table name the database does not hold.
void DumpJet(const std::string& path, const DumpOptions& options, JsonWriter& out);

// A date as the document writes it: "YYYY-MM-DD HH:MM:SS.mmm"; a value
// outside the calendar as the number the file holds.
void WriteDate(platform::TDateTime value, JsonWriter& out);
// A value as the document writes it (dates as WriteDate, bytes in hex,
// GUIDs in their 38-character form).
void WriteValue(const platform::Variant& value, JsonWriter& out);

}  // namespace tools
