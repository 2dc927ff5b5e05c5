#include "recordset/numeric_field.h"

namespace recordset {

TNumericField::TNumericField(std::string fieldName, TFieldType dataType, int size)
    : TField(std::move(fieldName), dataType, size) {
  SetAlignment(TAlignment::RightJustify);
}

const std::string& TNumericField::FormatFor(bool display) const {
  if (display || editFormat_.empty()) return displayFormat_;
  return editFormat_;
}

}  // namespace recordset
