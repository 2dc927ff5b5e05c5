// The file type of table files as the desktop sees it: the MIME package
// installed into a test XDG_DATA_HOME with `xdg-mime install`, then files
// asked about with `xdg-mime query filetype`, through each of the desktop's
// ways of answering that is on the machine (the generic one runs
// `mimetype`, the GNOME one `gio`). A table file is known by its name and,
// under any other name, by its header, plain or enciphered; text and Access
// databases keep their own types.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/temp_folder.h"
#include "tablefile/ntd_cursor.h"
#include "tools/tests/program_run.h"

namespace desktop {
namespace {

using platform::testing::TempFolder;
using tablefile::MakeNtdField;
using tools::testing::RunShell;
using tools::testing::ToolRun;
using Type = tablefile::TNtdStorageType;

constexpr char kTableType[] = "application/x-nutaro-table";

// A small food table, enciphered when `password` is not empty.
void WriteTable(const std::string& path, const std::string& password) {
  tablefile::TNtdCursor cursor;
  cursor.DefineFields({MakeNtdField("Nahrungsmittel", Type::String, 60), MakeNtdField("Kcal", Type::Double)});
  cursor.SetPassword(password);
  tablefile::RecordBuffer row = cursor.NewRecordBuffer();
  row.LargeValue(cursor.Fields()[0]) = "Apfel";
  row.Put<double>(cursor.Fields()[1], 52);
  tablefile::RecordEntry* record = nullptr;
  cursor.PutRecord(row, record);
  cursor.WriteFile(path, 0, false, "");
}

class FileType : public ::testing::Test {
 protected:
  void SetUp() override {
    if (RunShell(folder_, "command -v xdg-mime && command -v update-mime-database").exitCode != 0) {
      GTEST_SKIP() << "xdg-mime or update-mime-database is not installed (scripts/install-deps.sh installs them)";
    }
    if (RunShell(folder_, "command -v mimetype").exitCode == 0) desktops_.push_back("X-Generic");
    if (RunShell(folder_, "command -v gio").exitCode == 0) desktops_.push_back("GNOME");
    if (desktops_.empty()) GTEST_SKIP() << "neither mimetype nor gio is installed to tell file types by content";
    const ToolRun install = Run("xdg-mime install --mode user " NUTARO_SOURCE_DIR "/desktop/nutaro-table.xml");
    ASSERT_EQ(install.exitCode, 0) << install.out << install.err;
  }

  ToolRun Run(const std::string& command) const {
    return RunShell(folder_, "HOME=" + folder_.Path() + " XDG_DATA_HOME=" + folder_.File("data") + " " + command);
  }

  // The type each desktop's way of telling gives the file.
  void ExpectType(const std::string& file, const std::string& type) const {
    for (const std::string& desktop : desktops_) {
      const ToolRun query = Run("XDG_CURRENT_DESKTOP=" + desktop + " xdg-mime query filetype " + file);
      EXPECT_EQ(query.out, type + "\n") << desktop << ", " << file << ": " << query.err;
    }
  }

  TempFolder folder_;
  std::vector<std::string> desktops_;
};

TEST_F(FileType, TableFilesAreKnownByTheirNameAndByTheirHeader) {
  WriteTable(folder_.File("food.ntd"), "");
  ExpectType(folder_.File("food.ntd"), kTableType);
  WriteTable(folder_.File("food-plain"), "");
  ExpectType(folder_.File("food-plain"), kTableType);
  WriteTable(folder_.File("food-enciphered"), "geheim");
  ExpectType(folder_.File("food-enciphered"), kTableType);
}

TEST_F(FileType, OtherFilesKeepTheirTypes) {
  // "S" and "P" where a table file has its kind byte, but text after it.
  ExpectType(folder_.Write("notes", "1234Sonntag: Obst und Gemuese\n"), "text/plain");
  ExpectType(folder_.Write("plan", "1234Plan: Pflaumen, Pfirsiche\n"), "text/plain");
  ExpectType(NUTARO_FIXTURES_DIR "/nutaro/nuta4-basic.mdb", "application/vnd.ms-access");
}

}  // namespace
}  // namespace desktop
