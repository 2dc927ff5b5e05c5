#pragma once
// The dump document of a Jet 3 / Jet 4 database (see the dump format page),
// read through the DAO objects: the named tables, or every user table, with
// columns of their DAO types and the rows in storage order.

#include <string>

#include "dao/field.h"
#include "dao/recordset.h"
#include "platform/variant.h"
#include "tools/dump_ntd.h"
#include "tools/json_writer.h"

namespace tools {

// Writes the document of the database at `path`. Throws dao::DaoError when
// the database cannot be read (3031 for a wrong password) and
// std::runtime_error for a table name the database does not hold.
void DumpJet(const std::string& path, const DumpOptions& options, JsonWriter& out);

// A value as the document writes it (dates as WriteJsonDate, bytes in hex,
// GUIDs in their 38-character form).
void WriteValue(const platform::Variant& value, JsonWriter& out);

// The member "columns" of a table object: name, DAO type and size of each
// field (with `schema`, also its properties).
void WriteColumnsMember(const dao::FieldCollection& fields, bool schema, JsonWriter& out);

// The member "rows": the rows of `recordset` from the current one to its
// end, one inline array each.
void WriteRowsMember(dao::Recordset& recordset, JsonWriter& out);

}  // namespace tools
