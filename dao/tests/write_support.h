// What the tests of the DAO write side share: a folder of their own with
// an engine and workspace, building tables through DAO, reading rows back
// through DAO, and the DAO error an action raises.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dao/constants.h"
#include "dao/db_engine.h"
#include "platform/testing/temp_folder.h"

namespace dao::testing {

class WritingTest : public ::testing::Test {
 protected:
  void SetUp() override;

  // A path in the test's own folder.
  std::string Path(const std::string& name) const { return folder_.File(name); }
  // A new database `name` in the folder (Jet 4 unless `options` says).
  std::shared_ptr<Database> NewDatabase(const std::string& name, int options = dbVersion40);
  // The DAO error number `action` raises (0 for none); checks that
  // DBEngine::Errors recorded the same error.
  int ErrorOf(const std::function<void()>& action);

  std::shared_ptr<DBEngine> engine_;
  std::shared_ptr<Workspace> workspace_;
  platform::testing::TempFolder folder_;
};

// Appends the field `name` to the new table `table` and returns it.
std::shared_ptr<Field> AppendField(TableDef& table, const std::string& name, int type, int size = 0,
                                   int attributes = 0);
// Appends the index `name` over `fields` (a leading "-" makes a field
// descending) to `table`.
std::shared_ptr<Index> AppendIndex(TableDef& table, const std::string& name, const std::vector<std::string>& fields,
                                   bool primary = false, bool unique = false);
// Adds a row through `recordset` with `values` for the fields named.
void AddRow(Recordset& recordset, const std::vector<std::pair<std::string, platform::Variant>>& values);
// Every row of `table` as DAO reads it (dynaset order), values in field order.
std::vector<std::vector<platform::Variant>> ReadTable(Database& database, const std::string& table);

}  // namespace dao::testing
