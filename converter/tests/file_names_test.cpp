#include "converter/file_names.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/testing/temp_folder.h"

namespace converter {
namespace {

TEST(ChangeFileExtension, ReplacesOnlyAnExtensionOfTheFileNameItself) {
  EXPECT_EQ(ChangeFileExtension("/home/n/daten.txt", ".mdb"), "/home/n/daten.mdb");
  EXPECT_EQ(ChangeFileExtension("/home/n/daten", ".ntd"), "/home/n/daten.ntd");
  EXPECT_EQ(ChangeFileExtension("/home/n/daten.mdb", ".mdb"), "/home/n/daten.mdb");
  EXPECT_EQ(ChangeFileExtension("/home/n/nuta.alt.mdb", ".ntd"), "/home/n/nuta.alt.ntd");
  // A full stop in a folder name is no extension of the file.
  EXPECT_EQ(ChangeFileExtension("/home/n.v/daten", ".mdb"), "/home/n.v/daten.mdb");
  EXPECT_EQ(ChangeFileExtension("daten", ".mdb"), "daten.mdb");
  EXPECT_EQ(ChangeFileExtension("/home/n/", ".mdb"), "/home/n/.mdb");
}

TEST(SameFile, KnowsAFileUnderEveryNameAndNothingElse) {
  platform::testing::TempFolder folder;
  const std::string file = folder.Write("nuta.mdb", "x");
  const std::string other = folder.Write("andere.mdb", "x");
  ASSERT_EQ(::symlink(file.c_str(), folder.File("verweis.mdb").c_str()), 0);
  ASSERT_EQ(::link(file.c_str(), folder.File("zweiter.mdb").c_str()), 0);

  EXPECT_TRUE(SameFile(file, file));
  EXPECT_TRUE(SameFile(file, folder.Path() + "/./nuta.mdb"));
  EXPECT_TRUE(SameFile(file, folder.File("verweis.mdb")));
  EXPECT_TRUE(SameFile(folder.File("zweiter.mdb"), file));
  // Same content is not the same file; a missing file is none.
  EXPECT_FALSE(SameFile(file, other));
  EXPECT_FALSE(SameFile(file, folder.File("fehlt.mdb")));
  EXPECT_FALSE(SameFile(folder.File("fehlt.mdb"), folder.File("fehlt.mdb")));
}

}  // namespace
}  // namespace converter
