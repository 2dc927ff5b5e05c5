// Table-file databases: the folder of their tables, the lists of open and
// changed tables, and passwords set on tables.

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "platform/testing/scripted_dialogs.h"
#include "platform/testing/temp_folder.h"
#include "recordset/database_error.h"
#include "tablefile/ntd_database.h"
#include "tablefile/ntd_dataset.h"
#include "tablefile/tests/table_fixtures.h"

namespace tablefile {
namespace {

using platform::testing::TempFolder;
using testing::WriteEmptyConverterTable;

TEST(Database, PathsOfTablesFollowTheDatabaseFolder) {
  TNtdDatabase database;
  EXPECT_EQ(database.DateFormat(), "mm/dd/yyyy");
  database.SetDatabasePath("/daten");
  EXPECT_EQ(database.DatabasePath(), "/daten/");
  database.SetDatabasePath("/daten/");
  EXPECT_EQ(database.DatabasePath(), "/daten/");

  TNtdTable table;
  table.SetTableName("/x/food.ntd");
  EXPECT_EQ(table.TableFilePath(), "/x/food.ntd");
  table.SetDatabase(&database);
  EXPECT_EQ(table.TableName(), "food.ntd") << "binding keeps only the file name";
  EXPECT_EQ(table.TableFilePath(), "/daten/food.ntd");
  table.SetTableName("/y/other.ntd");
  EXPECT_EQ(table.TableFilePath(), "/y/other.ntd");

  database.SetDatabasePath("");
  EXPECT_EQ(database.DatabasePath(), "");
  table.SetTableName("food.ntd");
  EXPECT_EQ(table.TableFilePath(), "food.ntd");
}

TEST(Database, KnowsItsOpenAndChangedTablesAndClosesThemWhenItGoes) {
  TempFolder folder;
  WriteEmptyConverterTable(folder.File("a.ntd"));
  WriteEmptyConverterTable(folder.File("b.ntd"));
  TNtdTable first;
  TNtdTable second;
  {
    TNtdDatabase database;
    database.SetDatabasePath(folder.Path());
    for (auto [table, name] : {std::pair{&first, "a.ntd"}, std::pair{&second, "b.ntd"}}) {
      table->SetDatabase(&database);
      table->SetTableName(name);
      table->SetActive(true);
    }
    EXPECT_EQ(database.OpenTables(), (std::vector<TNtdDataset*>{&first, &second}));
    second.AppendRow();
    EXPECT_EQ(database.ChangedTables(), std::vector<TNtdDataset*>{&second});
    second.PostRow();
    second.SaveChanges();
    EXPECT_EQ(database.ChangedTables().size(), 1u) << "storing does not end the changes";
    second.RevertChanges();
    EXPECT_TRUE(database.ChangedTables().empty());
    first.SetActive(false);
    EXPECT_EQ(database.OpenTables(), std::vector<TNtdDataset*>{&second});
    first.SetActive(true);
  }
  EXPECT_FALSE(first.Active());
  EXPECT_FALSE(second.Active());
  EXPECT_EQ(first.Database(), nullptr);
}

class TablePasswords : public ::testing::Test {
 protected:
  void SetUp() override { WriteEmptyConverterTable(path_); }
  void TearDown() override {
    for (const std::string& password : std::vector<std::string>(session_.Passwords())) {
      session_.RemovePassword(password);
    }
  }

  char KindOfFile() { return platform::ReadWholeFile(path_)[4]; }

  TempFolder folder_;
  std::string path_ = folder_.File("food.ntd");
  TNtdSession& session_ = TNtdSession::Instance();
  platform::testing::ScriptedDialogs dialogs_;
  platform::ScopedDialogs scope_{dialogs_};
};

TEST_F(TablePasswords, APasswordSetOnAnOpenTableEnciphersTheNextStore) {
  TNtdDatabase database;
  TNtdTable table;
  table.SetDatabase(&database);
  table.SetTableName(path_);
  table.SetActive(true);
  table.SetPassword("Geheim");
  table.SetPassword("Geheim");
  EXPECT_EQ(table.UnsavedChanges(), 2) << "every password set counts as a change";
  EXPECT_EQ(database.ChangedTables(), std::vector<TNtdDataset*>{&table});
  table.SaveChanges();
  EXPECT_EQ(KindOfFile(), 'P');
  table.SetActive(false);

  TNtdTable reader;  // the registry opens it without a question
  reader.SetTableName(path_);
  reader.SetActive(true);
  EXPECT_EQ(reader.FieldCount(), 11);
  EXPECT_EQ(reader.Password(), "Geheim");
  EXPECT_TRUE(dialogs_.Requests().empty());
  reader.SetPassword("GEHEIM");
  EXPECT_EQ(session_.Passwords(), std::vector<std::string>{"Geheim"}) << "the first spelling stays";

  reader.SetPassword("");
  EXPECT_TRUE(session_.Passwords().empty());
  reader.SaveChanges();
  EXPECT_EQ(KindOfFile(), 'S');
}

TEST_F(TablePasswords, AWrongPasswordFailsTheOpen) {
  {
    TNtdTable table;
    table.SetTableName(path_);
    table.SetPassword("Geheim");
    table.SetActive(true);
    table.SetPassword("Geheim");
    table.SaveChanges();
  }
  session_.RemovePassword("Geheim");
  dialogs_.PushPassword({true, "falsch"});
  dialogs_.PushPassword({true, "Geheim"});
  TNtdTable table;
  table.SetTableName(path_);
  table.SetActive(true);
  EXPECT_EQ(table.Password(), "Geheim");
  table.SetActive(false);

  session_.RemovePassword("Geheim");
  table.SetPassword("");
  dialogs_.PushPassword({false, ""});
  try {
    table.SetActive(true);
    FAIL() << "opened without the password";
  } catch (const recordset::EDatabaseError& error) {
    EXPECT_STREQ(error.what(), "Error opening table: Invalid password. Table cannot be open");
  }
}

}  // namespace
}  // namespace tablefile
