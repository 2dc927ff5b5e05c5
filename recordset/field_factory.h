#pragma once

// The field class of each field type.

#include <memory>
#include <string>

#include "recordset/field.h"

namespace recordset {

// A new field of the class that serves `type`, named `fieldName`, with
// `size` where the type has one; nullptr for types without a field class
// (ftUnknown, ftCursor, ftADT, ftArray, ftReference, ftDataSet, ftVariant,
// ftInterface, ftIDispatch, ftTimeStamp).
std::unique_ptr<TField> CreateFieldOfType(TFieldType type, std::string fieldName, int size);

}  // namespace recordset
