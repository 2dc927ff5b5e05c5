#pragma once
// A value text (UTF-8) put into a field's slot of a record buffer, as the
// keys of searches and ranges and the constants of filter conditions are
// given: the text is read by the field's storage type.

#include <string_view>

#include "tablefile/ntd_field.h"
#include "tablefile/record_buffer.h"

namespace tablefile {

// Integers by decimal (or "$" hexadecimal) parsing, 0 when the text does not
// parse or the number does not fit; Boolean true for TRUE, YES, T, 1 (any
// case) and the code-page bytes C4 C0; Double and Currency by the float
// parsing of the format settings (a text that does not parse fails with
// "'%s' ist kein gültiger Fließkommawert für Feld '%s'"); Date, Time and
// DateTime by the date and time parsing, 0 when it fails; texts in the
// table's code page, at most the declared length (memos whole); BLOB and
// Graphic fields stay empty. The empty text leaves the slot empty.
void PutSlotText(RecordBuffer& record, const TNtdField& field, std::string_view text);

}  // namespace tablefile
