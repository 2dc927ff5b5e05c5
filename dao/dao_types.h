// How the engine's column types appear in DAO: Field::Type codes, sizes and
// attributes.
#pragma once

#include <optional>

#include "dao/jet/table_definition.h"
#include "dao/jet/layout.h"

namespace dao {

// The column type of a field DAO creates with type code `daoType`, or
// nothing for codes a Jet table cannot hold.
std::optional<jet::ColumnType> ColumnTypeOfDao(int daoType);
// DAO's type code of a column type (Decimal is dbDecimal; codes DAO does
// not know are reported as dbBinary).
int DaoTypeOf(jet::ColumnType type);
// DAO's Field::Size: characters for text, bytes for the other fixed and
// binary types, 0 for memo and OLE.
int DaoSizeOf(const jet::ColumnDefinition& column, const jet::Layout& layout);
// DAO's Field::Attributes of a column; `updatable` says whether the object
// the field belongs to can be changed.
int DaoAttributesOf(const jet::ColumnDefinition& column, bool updatable);

}  // namespace dao
