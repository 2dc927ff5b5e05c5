// The checklist holds for every Access-made fixture, so a file of ours that
// breaks it breaks what Access itself keeps.

#include "dao/jet/tests/file_checks.h"

#include <gtest/gtest.h>

#include "dao/jet/tests/fixture_files.h"

namespace dao::jet::testing {
namespace {

TEST(FileChecks, AccessMadeFilesKeepTheChecklist) {
  const auto files = FixtureDatabases();
  if (files.empty()) GTEST_SKIP() << "the fixture folder is absent";
  for (const auto& file : files) {
    SCOPED_TRACE(file.filename().string());
    ExpectFileKeepsTheChecklist(file.string());
  }
}

}  // namespace
}  // namespace dao::jet::testing
