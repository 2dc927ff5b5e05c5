#pragma once
// The dataset's row buffer: a copy of one record in the store's layout (texts
// and data owned), and the number of the row in the view. The row mark names
// the record in the store.

#include <cstdint>
#include <cstring>

#include "recordset/row_buffer.h"
#include "tablefile/record_buffer.h"
#include "tablefile/record_entry.h"

namespace tablefile {

class TNtdRowBuffer : public recordset::TRowBuffer {
 public:
  RecordBuffer Record;
  std::int32_t RowNumber = 0;  // 1-based position in the view, -1 for a new row
};

// A row mark holds the address of the record it designates; an empty mark
// designates none. The address is only compared, never followed, until the
// store has confirmed that the record is one of its own.
inline recordset::RowMark MarkOf(const RecordEntry* record) {
  if (record == nullptr) return {};
  recordset::RowMark mark(sizeof(record), '\0');
  std::memcpy(mark.data(), &record, sizeof(record));
  return mark;
}

inline RecordEntry* RecordOfMark(const recordset::RowMark& mark) {
  RecordEntry* record = nullptr;
  if (mark.size() == sizeof(record)) std::memcpy(&record, mark.data(), sizeof(record));
  return record;
}

}  // namespace tablefile
