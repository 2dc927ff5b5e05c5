#pragma once

#include <string>

#include "recordset/database_error.h"

namespace recordset::testing {

// Runs `action` and answers the message of the EDatabaseError it throws,
// or "(no error)".
template <typename Action>
std::string ErrorOf(Action action) {
  try {
    action();
  } catch (const EDatabaseError& error) {
    return error.what();
  }
  return "(no error)";
}

}  // namespace recordset::testing
