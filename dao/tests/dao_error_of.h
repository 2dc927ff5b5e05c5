#pragma once
// The DAO error an action raises, for the tests of the DAO objects: the
// error's number, after checking that DBEngine::Errors reports the same
// error as the exception.

#include <gtest/gtest.h>

#include <functional>

#include "dao/dao_error.h"
#include "dao/db_engine.h"

namespace dao::testing {

// Runs `action` and returns the number of the DaoError it raised (0 for
// none); a raised error must be the only one in `engine`'s Errors, with the
// same number and description.
inline int DaoErrorOf(DBEngine& engine, const std::function<void()>& action) {
  try {
    action();
  } catch (const DaoError& error) {
    EXPECT_EQ(engine.Errors().Count(), 1);
    EXPECT_EQ(engine.Errors().Item(0).number, error.Number());
    EXPECT_EQ(engine.Errors().Item(0).description, error.Description());
    return error.Number();
  }
  return 0;
}

}  // namespace dao::testing
