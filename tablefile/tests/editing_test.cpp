// Editing a table-file dataset: change states, unsaved changes and their
// notification, reverting, accepting, keys and the defaults of new rows.

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/clock.h"
#include "platform/date_time.h"
#include "platform/file_io.h"
#include "platform/testing/fixed_clock.h"
#include "platform/testing/temp_folder.h"
#include "recordset/database_error.h"
#include "recordset/tests/error_of.h"
#include "tablefile/ntd_dataset.h"
#include "tablefile/tests/table_fixtures.h"

namespace tablefile {
namespace {

using recordset::EDatabaseError;
using recordset::testing::ErrorOf;
using recordset::TDataSetState;
using platform::testing::TempFolder;
using testing::OpenFile;
using testing::WriteEmptyConverterTable;

class Editing : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteEmptyConverterTable(path_);
    Open();
    for (const char* name : {"Apfel", "Birne", "Kiwi"}) Append(name);
    table_.SaveChanges();
    table_.SetActive(false);
    Open();
    notified_.clear();
  }

  void Open() {
    table_.SetTableName(path_);
    table_.SetOnNeedToSaveChange([this](TNtdDataset& sender) { notified_.push_back(sender.UnsavedChanges()); });
    table_.SetActive(true);
  }

  void Append(const std::string& name) { testing::AppendRowWith(table_, "Nm1", name); }

  void Rename(const std::string& name) {
    table_.EditRow();
    table_.FieldNamed("Nm1").SetTextValue(name);
    table_.PostRow();
  }

  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (table_.GoFirst(); !table_.AtEnd(); table_.GoNext()) names.push_back(table_.FieldValue("Nm1").ToText());
    return names;
  }

  TempFolder folder_;
  std::string path_ = folder_.File("food.ntd");
  TNtdTable table_{"DBT1"};
  std::vector<int> notified_;
};

TEST_F(Editing, RevertAfterTwoEditsRestoresTheLoadedRow) {
  Rename("Apfel, roh");
  Rename("Apfel, gekocht");
  EXPECT_EQ(table_.UnsavedChanges(), 2);
  EXPECT_EQ(table_.RowUpdateStatus(), recordset::TUpdateStatus::Modified);
  table_.RevertChanges();
  EXPECT_EQ(Names(), (std::vector<std::string>{"Apfel", "Birne", "Kiwi"}));
  EXPECT_EQ(table_.UnsavedChanges(), 0);
  EXPECT_EQ(notified_, (std::vector<int>{1, 0}));
}

TEST_F(Editing, CancellingASecondChangeKeepsTheFirst) {
  Rename("Apfel, roh");
  table_.EditRow();
  table_.FieldNamed("Nm1").SetTextValue("verworfen");
  table_.CancelRow();
  EXPECT_EQ(table_.FieldValue("Nm1").ToText(), "Apfel, roh");
  EXPECT_EQ(table_.UnsavedChanges(), 1);
  table_.RevertChanges();
  EXPECT_EQ(table_.FieldValue("Nm1").ToText(), "Apfel");
}

TEST_F(Editing, CancelledEditsLeaveNoCopyOfTheirRecord) {
  // Each converter pass starts with an edit of the current row, which the
  // new row then cancels.
  for (const char* name : {"Mango", "Pflaume"}) {
    table_.EditRow();
    table_.AppendRow();
    table_.FieldNamed("Nm1").SetTextValue(name);
    table_.PostRow();
  }
  Rename("Pflaume, getrocknet");
  int backups = 0;
  for (std::size_t i = 0; i < table_.Store()->RecordCount(); ++i) {
    backups += table_.Store()->Record(i)->Backup.has_value() ? 1 : 0;
  }
  EXPECT_EQ(backups, 1) << "only the posted edit keeps the values it changed";
  table_.RevertChanges();
  EXPECT_EQ(Names(), (std::vector<std::string>{"Apfel", "Birne", "Kiwi"}));
}

TEST_F(Editing, AcceptingKeepsAPendingRowPostable) {
  table_.EditRow();
  table_.FieldNamed("Nm1").SetTextValue("Apfel, roh");
  table_.AcceptChanges();
  EXPECT_EQ(table_.State(), TDataSetState::Edit);
  EXPECT_EQ(table_.FieldValue("Nm1").ToText(), "Apfel, roh");
  table_.PostRow();
  table_.AppendRow();
  table_.FieldNamed("Nm1").SetTextValue("Mango");
  table_.AcceptChanges();
  table_.PostRow();
  EXPECT_EQ(Names(), (std::vector<std::string>{"Apfel, roh", "Birne", "Kiwi", "Mango"}));
}

TEST(EditingEmptyTable, AcceptingBeforeTheFirstRowIsPostedKeepsIt) {
  // As a conversion starts: an empty table, a new row, an accept between.
  TempFolder folder;
  const std::string path = folder.File("food.ntd");
  WriteEmptyConverterTable(path);
  TNtdTable table;
  OpenFile(table, path);
  table.EditRow();
  table.AppendRow();
  table.FieldNamed("Nm1").SetTextValue("Hafer");
  table.AcceptChanges();
  table.SaveChanges();
  EXPECT_EQ(table.RowCount(), 1);
  EXPECT_EQ(table.FieldValue("Nm1").ToText(), "Hafer");
}

TEST_F(Editing, AcceptedChangesSurviveARevert) {
  Rename("Apfelmus");
  table_.GoLast();
  table_.DeleteRow();
  table_.AcceptChanges();
  EXPECT_EQ(notified_, (std::vector<int>{1, 0}));
  Rename("Birnenmus");
  table_.RevertChanges();
  EXPECT_EQ(Names(), (std::vector<std::string>{"Apfelmus", "Birne"}));
}

TEST_F(Editing, InsertedRowsThatAreDeletedAreGoneForGood) {
  Append("Mango");
  EXPECT_EQ(table_.RowUpdateStatus(), recordset::TUpdateStatus::Inserted);
  table_.DeleteRow();
  EXPECT_EQ(table_.RowCount(), 3);
  table_.SaveChanges();
  table_.RevertChanges();
  EXPECT_EQ(Names(), (std::vector<std::string>{"Apfel", "Birne", "Kiwi"}));
  table_.SetActive(false);
  Open();
  EXPECT_EQ(table_.RowCount(), 3);
}

TEST_F(Editing, SaveChangesWritesOnlyWhenThereAreUnsavedChanges) {
  std::filesystem::remove(path_);
  table_.SaveChanges();
  EXPECT_FALSE(std::filesystem::exists(path_)) << "an unchanged table is not written";

  table_.EditRow();
  table_.FieldNamed("Kcal").SetTextValue("52");
  table_.SaveChanges();  // posts the pending row, then writes
  EXPECT_EQ(table_.State(), TDataSetState::Browse);
  ASSERT_TRUE(std::filesystem::exists(path_));
  std::filesystem::remove(path_);
  table_.SaveChanges();
  EXPECT_TRUE(std::filesystem::exists(path_)) << "storing does not reset the count";
  EXPECT_EQ(table_.UnsavedChanges(), 1);
}

TEST_F(Editing, CancelledNewRowsGiveTheirCountBack) {
  table_.AppendRow();
  table_.CancelRow();
  table_.EditRow();
  table_.CancelRow();
  EXPECT_EQ(table_.UnsavedChanges(), 0);
  EXPECT_EQ(notified_, (std::vector<int>{1, 0, 1, 0}));
}

TEST_F(Editing, KeyViolationKeepsTheNewRowPending) {
  table_.SetCheckKeyViolation(true);
  table_.SetUniqueFieldNames("Nm1");
  table_.AppendRow();
  table_.FieldNamed("Nm1").SetTextValue("Birne");
  try {
    table_.PostRow();
    FAIL() << "a second Birne was accepted";
  } catch (const EDatabaseError& error) {
    EXPECT_STREQ(error.what(), "DBT1: Error saving new record: Key violation");
  }
  EXPECT_EQ(table_.State(), TDataSetState::Insert);
  table_.FieldNamed("Nm1").SetTextValue("Birne, getrocknet");
  table_.PostRow();
  EXPECT_EQ(table_.RowCount(), 4);
  table_.EditRow();  // the row itself is no violation
  table_.FieldNamed("Kcal").SetTextValue("250");
  table_.PostRow();
}

TEST_F(Editing, ReadOnlyTablesRefuseEveryChange) {
  table_.SetReadOnly(true);
  EXPECT_EQ(ErrorOf([&] { table_.EditRow(); }), "DBT1: Eine Datenmenge, die nur zum Lesen ist, kann nicht geändert werden");
  EXPECT_EQ(ErrorOf([&] { table_.AppendRow(); }), "DBT1: Eine Datenmenge, die nur zum Lesen ist, kann nicht geändert werden");
  EXPECT_EQ(ErrorOf([&] { table_.DeleteRow(); }), "DBT1: Read-only record cannot be deleted");
  EXPECT_EQ(table_.UnsavedChanges(), 0);
  EXPECT_THROW(table_.FieldNamed("Nm1").SetTextValue("x"), EDatabaseError) << "not in edit mode";
}

TEST_F(Editing, RefreshReadsTheFileAgainAndReturnsToTheSameRow) {
  table_.SetUniqueFieldNames("Nm1");
  table_.GoNext();
  Append("Mango");
  table_.GoFirst();
  table_.GoNext();
  table_.Refresh();  // stores the new row first
  EXPECT_EQ(table_.FieldValue("Nm1").ToText(), "Birne");
  EXPECT_EQ(table_.RowCount(), 4);
  EXPECT_EQ(table_.RowUpdateStatus(), recordset::TUpdateStatus::Unmodified);
}

TEST_F(Editing, AFailedRefreshKeepsTheRowsInMemory) {
  platform::WriteFileAtomically(path_, std::string("damaged"));
  EXPECT_THROW(table_.Refresh(), EDatabaseError);
  EXPECT_TRUE(table_.Active());
  EXPECT_EQ(Names(), (std::vector<std::string>{"Apfel", "Birne", "Kiwi"}));
}

TEST_F(Editing, RefreshAfterTheFileGotAnotherLayoutStaysSafe) {
  {
    TNtdTable other;
    other.FieldDefs().AddFieldDef("Nm1", recordset::ftMemo);
    other.SetActive(true);
    other.WriteTableFile(path_);
  }
  table_.Refresh();
  EXPECT_EQ(table_.RowCount(), 0);
  table_.AppendRow();
  table_.FieldNamed("Kcal").SetTextValue("1");
  table_.PostRow();
  EXPECT_EQ(table_.RowCount(), 1);
}

TEST(EditingAutoInc, NumberingContinuesFromTheLoadedMaximum) {
  TempFolder folder;
  TNtdTable table;
  table.FieldDefs().AddFieldDef("Id", recordset::ftAutoInc);
  table.FieldDefs().AddFieldDef("Name", recordset::ftString, 20);
  table.SetActive(true);
  for (int i = 0; i < 3; ++i) {
    table.AppendRow();
    table.FieldNamed("Name").SetTextValue("n" + std::to_string(i));
    table.FieldNamed("Id").SetTextValue("100");  // ignored: the store numbers new rows
    table.PostRow();
  }
  EXPECT_EQ(table.FieldValue("Id").ToText(), "3");
  table.GoFirst();
  table.DeleteRow();
  table.WriteTableFile(folder.File("ids.ntd"));

  TNtdTable reopened;
  reopened.SetTableName(folder.File("ids.ntd"));
  reopened.SetActive(true);
  reopened.AppendRow();
  reopened.PostRow();
  EXPECT_EQ(reopened.FieldValue("Id").ToText(), "4");
}

TEST(EditingDefaults, NewRowsGetTheirDefaultTexts) {
  platform::testing::FixedClock clock(platform::EncodeDate(2024, 3, 1) + platform::EncodeTime(9, 30, 15, 250));
  platform::ScopedClock scope(clock);
  TNtdTable table;
  table.FieldDefs().AddFieldDef("Code", recordset::ftString, 8);
  table.FieldDefs().AddFieldDef("Day", recordset::ftDate);
  table.FieldDefs().AddFieldDef("Menge", recordset::ftInteger);
  table.SetActive(true);
  table.FieldNamed("Code").SetDefaultExpression("UNICOD");
  table.FieldNamed("Day").SetDefaultExpression("TODAY");
  table.FieldNamed("Menge").SetDefaultExpression("100");
  std::vector<std::string> codes;
  for (int i = 0; i < 2; ++i) {
    table.AppendRow();
    codes.push_back(table.FieldValue("Code").ToText());
    table.PostRow();
  }
  EXPECT_EQ(codes[0].size(), 8u);
  EXPECT_NE(codes[0], codes[1]) << "rows started in the same second differ";
  EXPECT_EQ(codes[0].substr(0, 5), codes[1].substr(0, 5));
  EXPECT_EQ(table.FieldValue("Day").ToDate(), platform::EncodeDate(2024, 3, 1));
  EXPECT_EQ(table.FieldValue("Menge").ToText(), "100");
}

}  // namespace
}  // namespace tablefile
