#pragma once
// Between the record-set's field types and the engine's storage types.

#include <string>
#include <vector>

#include "recordset/field_defs.h"
#include "tablefile/ntd_field.h"

namespace tablefile {

// The field entries of a new table made from field definitions: names in the
// table's code page, storage types by type and size. Types the engine does
// not store become Strings of the default length.
std::vector<TNtdField> FieldsOfDefinitions(const recordset::TFieldDefs& definitions);

// The record-set type a stored field opens as.
recordset::TFieldType FieldTypeOf(TNtdStorageType type);

}  // namespace tablefile
