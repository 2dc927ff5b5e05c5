#pragma once

// How the Access layer treats DAO failures it does not pass on: the steps
// whose failure does not matter, and the error that says a row was deleted
// under the cursor.

#include <exception>

#include "dao/jet/jet_error.h"

namespace accessdb {

// DAO's "Record is deleted." (another recordset deleted the row).
inline constexpr int kErrRecordDeleted = dao::jet::kErrRecordDeleted;

// Runs a step whose failure does not matter (parking the cursor, a refresh
// DAO may refuse); its error is dropped.
template <class Action>
void IgnoringErrors(Action&& action) {
  try {
    action();
  } catch (const std::exception&) {
  }
}

}  // namespace accessdb
