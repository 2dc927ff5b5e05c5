#pragma once

// Row buffers, row marks and the vocabulary of fetching rows: what a
// record-set keeps of each row it has read, and how it asks an engine for
// rows.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace recordset {

// An engine-defined token of fixed size that designates a row (for example
// the reference of a stored record, or the first bytes of a bookmark).
// Empty means "no mark".
using RowMark = std::string;

// What a row buffer holds.
enum class RowMarkKind : std::uint8_t {
  MarkCurrent,      // a stored row
  MarkBeforeFirst,  // a new row inserted into an empty record-set
  MarkAfterLast,    // a new row appended after the last row
  MarkInserted,     // a new row not yet stored, at the row of its mark
};

// One row as the record-set keeps it. An engine allocates its buffers in
// NewRowBuffer and may derive its own class to keep more (owned texts, a
// row number); the framework never copies buffers, it only moves them
// around its ring.
class TRowBuffer {
 public:
  TRowBuffer() = default;
  virtual ~TRowBuffer() = default;
  TRowBuffer(const TRowBuffer&) = delete;
  TRowBuffer& operator=(const TRowBuffer&) = delete;

  // The engine's row data (RowBufferSize bytes in the default buffer).
  std::vector<std::byte> data;
  // The computed-field area, sized and owned by the framework: for each
  // computed field, at its Offset(), one has-value byte and the native value.
  std::vector<std::byte> computed;
  // The row mark and its kind (the defaults of the row-mark hooks keep them here).
  RowMark mark;
  RowMarkKind markKind = RowMarkKind::MarkCurrent;
};

// Which row FetchRow delivers, relative to the engine's cursor.
enum class FetchMode { Current, Next, Prior };

// The answer of FetchRow.
enum class FetchResult {
  RowOk,       // the buffer holds the row; the cursor stands on it
  NoPrior,     // there is no row before the cursor; the cursor did not move
  NoNext,      // there is no row after the cursor; the cursor did not move
  FetchFailed  // the row could not be read (or the current row is gone)
};

// How Resynchronise re-reads the buffered rows.
struct TResyncMode {
  bool exact = false;   // the current row must still exist (else "Datensatz nicht gefunden")
  bool center = false;  // place the current row in the middle of the ring
};

}  // namespace recordset
