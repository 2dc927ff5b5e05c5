#pragma once

// The row buffer of a TAccessTable: the row's values as texts, one per
// field definition, each with a changed flag, and the row's position in the
// recordset. The data stays in the database; posting sends only the texts
// a caller changed, and DAO converts them to the columns' types.

#include <cstdint>
#include <string>
#include <vector>

#include "recordset/row_buffer.h"

namespace accessdb {

struct TAccessValue {
  std::string text;  // the value's text form; empty is Null
  bool changed = false;  // set by a caller since the row was read or started
};

class TAccessRowBuffer : public recordset::TRowBuffer {
 public:
  // The row's 0-based position in the recordset when it was read; -1 for a
  // new row.
  std::int32_t positionKey = -1;
  std::vector<TAccessValue> values;
};

// Row marks are the first four bytes of a DAO bookmark; the empty mark is
// none (a new row, or a recordset without bookmarks).
inline constexpr std::size_t kRowMarkSize = 4;

}  // namespace accessdb
