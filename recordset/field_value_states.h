#pragma once

// The states in which an engine takes a field's new value into a row
// buffer: a change of the current or a new row, a search key, and the
// record-set's own filling of computed, filtered and new values. A value
// written in any other state would never be stored.

#include "recordset/dataset.h"

namespace recordset {

inline bool AcceptsFieldValues(TDataSetState state) {
  switch (state) {
    case TDataSetState::Edit:
    case TDataSetState::Insert:
    case TDataSetState::KeyEntry:
    case TDataSetState::Computing:
    case TDataSetState::Filtering:
    case TDataSetState::NewValue:
    case TDataSetState::InternalComputing:
      return true;
    default:
      return false;
  }
}

}  // namespace recordset
