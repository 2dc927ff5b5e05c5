#pragma once
// A key buffer of a table-file dataset: values of some fields in a record
// buffer of the store's layout, for the view's order (index key), searches
// and the two ends of a range.

#include <optional>
#include <string>
#include <vector>

#include "recordset/field.h"
#include "tablefile/ntd_field.h"
#include "tablefile/record_buffer.h"

namespace tablefile {

enum class KeyIndex { kIndex = 0, kSearch = 1, kRangeStart = 2, kRangeEnd = 3 };

struct KeyBuffer {
  RecordBuffer Record;                           // the key values; zeroed when reset
  std::vector<const TNtdField*> StoreFields;     // the store's entries of the key fields
  std::vector<recordset::TField*> Fields;        // the dataset's field objects of the same fields
  int Comparing = 0;                             // leading key fields that take part in comparisons
  bool Exclusive = false;                        // ranges always include their ends
  std::optional<std::string> Names;              // the names the fields were looked up by
};

}  // namespace tablefile
