#pragma once
// Ordering of field values and records, as sorting, uniqueness checks,
// filters and searches see it.

#include <string_view>
#include <vector>

#include "tablefile/ntd_field.h"
#include "tablefile/record_buffer.h"

namespace tablefile {

// The text comparison of stored values: an empty text orders by length
// alone; otherwise the common prefix decides (letter case ignored by the
// ANSI rules when asked), then the length.
int CompareTexts(std::string_view a, std::string_view b, bool caseInsensitive);

// Negative, zero or positive as the field's value in `a` orders before, with
// or after its value in `b`. Text compares by the ANSI rules when
// `caseInsensitive`, byte by byte otherwise. True orders before false; any
// comparison with a NaN gives -1; BLOB and Graphic values are all equal.
int CompareFieldValues(const RecordBuffer& a, const RecordBuffer& b, const TNtdField& field,
                       bool caseInsensitive);

// The same for the value of `field` in `a` and that of `other` in `b`, two
// fields whose values are kept alike (the same storage type, or integers,
// dates and times, or doubles, currencies and date-times); the rule is
// that of `field`.
int CompareFieldPair(const RecordBuffer& a, const TNtdField& field, const RecordBuffer& b,
                     const TNtdField& other, bool caseInsensitive);

// The first non-zero case-sensitive comparison over the first `count` fields
// of the list (all of them when `count` is negative); 0 when all are equal.
int CompareRecords(const RecordBuffer& a, const RecordBuffer& b,
                   const std::vector<const TNtdField*>& fields, int count);

}  // namespace tablefile
