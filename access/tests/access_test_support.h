// What the Access layer's tests share: copies of the fixture databases in
// a folder of the test's own, connected database components, and the rows
// of a table as an open TAccessTable shows them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "access/access_database.h"
#include "access/access_table.h"
#include "platform/testing/temp_folder.h"

namespace accessdb::testing {

class AccessTest : public ::testing::Test {
 protected:
  void SetUp() override;

  // A copy of the fixture `relative` (below the fixture folder) in the
  // test's folder; the test is skipped when the fixture folder is absent.
  std::string CopyFixture(const std::string& relative);
  // A path in the test's folder.
  std::string Path(const std::string& name) const { return folder_.File(name); }
  // A database component connected to `path`.
  std::unique_ptr<TAccessDatabase> Connect(const std::string& path, const std::string& name = "AccessDatabase1");
  // A new empty database file `fileName` in the test's folder (a Jet 4
  // file with `version` "3.6", a Jet 3 file with "3.5"), connected through
  // a component of that version.
  std::unique_ptr<TAccessDatabase> NewDatabase(const std::string& fileName, const std::string& version = "3.6",
                                               const std::string& name = "AccessDatabase1");
  // A table of `database` opened on `tableName`.
  std::unique_ptr<TAccessTable> OpenTable(TAccessDatabase& database, const std::string& tableName,
                                          const std::string& name = "AccessTable1");

  platform::testing::TempFolder folder_;
};

// The message of the error `action` raises; empty when it raises none.
std::string ErrorOf(const std::function<void()>& action);

// Every row from the first on, each field's TextValue in field order.
std::vector<std::vector<std::string>> TextRows(TAccessTable& table);

}  // namespace accessdb::testing
