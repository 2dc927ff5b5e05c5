// The DAO objects a caller meets before the first row: engines by ProgID,
// workspaces, opening files (missing, foreign, password-protected, the
// wrong engine), the connect string, table and field descriptions, and
// DBEngine::Errors.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "dao/constants.h"
#include "dao/db_engine.h"
#include "dao/jet/database_header.h"
#include "dao/jet/tests/fixture_files.h"
#include "dao/jet/text_codec.h"
#include "dao/tests/dao_error_of.h"
#include "dao/tests/fixture_support.h"
#include "platform/testing/temp_folder.h"

namespace dao {
namespace {

class DaoObjectsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (testing::FixturesDir().empty()) GTEST_SKIP() << "fixture folder " << NUTARO_FIXTURES_DIR << " is absent";
    engine_ = DBEngine::Create("DAO.DBEngine.36");
    workspace_ = engine_->CreateWorkspace("test", "Admin", "");
  }

  std::string Fixture(const std::string& relative) { return (testing::FixturesDir() / relative).string(); }

  // A copy of a fixture in the test folder, changed by `change`.
  std::string Copy(const std::string& relative, const std::function<void(std::vector<std::uint8_t>&)>& change) {
    const std::filesystem::path source = testing::FixturesDir() / relative;
    std::vector<std::uint8_t> bytes = jet::testing::ReadFileBytes(source);
    change(bytes);
    const std::filesystem::path target = folder_.File(source.filename().string());
    std::ofstream(target, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return target.string();
  }

  // Runs `action` and returns the DAO error number it raised (0 for none).
  int ErrorOf(const std::function<void()>& action) { return testing::DaoErrorOf(*engine_, action); }

  std::shared_ptr<DBEngine> engine_;
  std::shared_ptr<Workspace> workspace_;
  platform::testing::TempFolder folder_;
};

TEST_F(DaoObjectsTest, EnginesAreCreatedByTheirProgIds) {
  EXPECT_EQ(DBEngine::Create("DAO.DBEngine.35")->Version(), "3.5");
  EXPECT_EQ(DBEngine::Create("dao.dbengine.36")->Version(), "3.6");
  EXPECT_EQ(DBEngine::Create("DAO.PrivateDBEngine.120")->Version(), "12.0");
  try {
    DBEngine::Create("DAO.DBEngine.99");
    FAIL() << "an unknown ProgID must not give an engine";
  } catch (const DaoError& error) {
    EXPECT_EQ(error.Number(), 429);
  }
  EXPECT_EQ(engine_->DefaultUser(), "Admin");
  EXPECT_EQ(engine_->DefaultType(), dbUseJet);
  EXPECT_EQ(ErrorOf([&] { engine_->CreateWorkspace("w", "Mallory", ""); }), 3029);
  EXPECT_EQ(engine_->Errors().Item(0).source, "DAO.DBEngine");
  EXPECT_EQ(engine_->Errors().Item(0).helpContext, 5003029);
  engine_->Workspaces().Append(workspace_);
  EXPECT_EQ(engine_->Workspaces().Item("TEST"), workspace_);
  EXPECT_EQ(ErrorOf([&] { engine_->Workspaces().Append(workspace_); }), 3367);
}

TEST_F(DaoObjectsTest, FilesThatCannotBeOpenedSayWhy) {
  EXPECT_EQ(ErrorOf([&] { workspace_->OpenDatabase(folder_.File("missing.mdb")); }), 3024);
  const std::string text = folder_.File("notes.mdb");
  std::ofstream(text) << "These are not the pages you are looking for.\n";
  EXPECT_EQ(ErrorOf([&] { workspace_->OpenDatabase(text); }), 3343);
  EXPECT_NE(engine_->Errors().Item(0).description.find("notes.mdb"), std::string::npos);
  EXPECT_EQ(ErrorOf([&] { workspace_->OpenDatabase(Fixture("nutaro/nuta4-basic.mdb"), false, true, "dBASE III;"); }),
            3170);

  // A DAO 3.5 engine reads Jet 3 files only.
  const auto jet35 = DBEngine::Create("DAO.DBEngine.35")->CreateWorkspace("old", "Admin", "");
  EXPECT_EQ(jet35->OpenDatabase(Fixture("access/v1997-indexTest.mdb"), false, true)->Version(), "3.0");
  try {
    jet35->OpenDatabase(Fixture("access/v2000-empty.mdb"), false, true);
    FAIL() << "DAO 3.5 cannot open Jet 4 files";
  } catch (const DaoError& error) {
    EXPECT_EQ(error.Number(), 3343);
  }

  // Read-only files open read-only even when writing was asked for.
  const std::string copy = Copy("nutaro/nuta4-basic.mdb", [](auto&) {});
  std::filesystem::permissions(copy, std::filesystem::perms::owner_read, std::filesystem::perm_options::replace);
  if (::geteuid() != 0) EXPECT_FALSE(workspace_->OpenDatabase(copy)->Updatable());
}

TEST_F(DaoObjectsTest, TheDatabasePasswordComesFromTheConnectString) {
  const std::string path = Copy("nutaro/nuta4-basic.mdb", [](std::vector<std::uint8_t>& bytes) {
    jet::StoreDatabasePassword(jet::kJet4Layout, jet::MutableBytes(bytes.data(), jet::kJet4PageSize),
                               jet::Utf8ToUtf16Le("Kalorie"));
  });
  EXPECT_EQ(ErrorOf([&] { workspace_->OpenDatabase(path, false, true); }), 3031);
  EXPECT_EQ(ErrorOf([&] { workspace_->OpenDatabase(path, false, true, ";UID=Admin;PWD=kalorie;"); }), 3031);
  const auto database = workspace_->OpenDatabase(path, false, true, ";UID=Admin;PWD=Kalorie;");
  EXPECT_EQ(database->TableDefs().Item("nuta")->RecordCount(), 28);
  EXPECT_EQ(database->Connect(), ";UID=Admin;PWD=Kalorie;");
  EXPECT_EQ(workspace_->Databases().Count(), 1);
  workspace_->Close();
  EXPECT_EQ(ErrorOf([&] { database->TableDefs(); }), 3420);
}

TEST_F(DaoObjectsTest, TableDefsDescribeTablesFieldsIndexesAndProperties) {
  const auto database = workspace_->OpenDatabase(Fixture("nutaro/nuta4-target-indexed.mdb"), false, true);
  EXPECT_EQ(database->Version(), "4.0");
  EXPECT_EQ(database->QueryTimeout(), 60);
  const TableDefCollection& tables = database->TableDefs();
  EXPECT_EQ(tables.Item("MSysObjects")->Attributes(), dbSystemObject);
  EXPECT_EQ(tables.Item("MSysAccessObjects")->Attributes() & dbSystemObject, dbSystemObject);
  EXPECT_EQ(ErrorOf([&] { tables.Item("nuta2"); }), 3265);

  const auto& nuta = tables.Item("nuta");
  EXPECT_EQ(nuta->Name(), "Nuta");
  EXPECT_EQ(nuta->Attributes(), 0);
  EXPECT_EQ(nuta->DateCreated().Type(), platform::VariantType::kDate);
  const auto& id = nuta->Fields().Item("ID");
  EXPECT_EQ(id->Type(), dbLong);
  EXPECT_EQ(id->Attributes(), dbFixedField | dbAutoIncrField);
  EXPECT_EQ(nuta->Fields().Item("Nahrungsmittel")->Size(), 100);
  EXPECT_EQ(nuta->Fields().Item("Fett")->Type(), dbSingle);
  EXPECT_EQ(ErrorOf([&] { id->Value(); }), 3219);  // a table definition has no current row

  const auto& primary = nuta->Indexes().Item("PrimaryKey");
  EXPECT_TRUE(primary->Primary());
  EXPECT_TRUE(primary->Unique());
  EXPECT_EQ(primary->Fields().Item(0)->Name(), "ID");
  const auto& byName = nuta->Indexes().Item("Nahrungsmittel");
  EXPECT_FALSE(byName->Unique());
  EXPECT_EQ(byName->Fields().Item(0)->Attributes() & dbDescending, 0);

  // Stored column properties: Access's Format and DecimalPlaces.
  const auto jet3 = workspace_->OpenDatabase(Fixture("access/v1997-testIndexCodes.mdb"), false, true);
  EXPECT_EQ(jet3->CollatingOrder(), dbSortGeneral);
  const auto& yesNo = jet3->TableDefs().Item("Table10")->Fields().Item("data");
  EXPECT_EQ(yesNo->Properties().Item("format")->Value(), platform::Variant("Yes/No"));
  EXPECT_EQ(yesNo->Properties().Item("Format")->Type(), dbText);
  const auto& places = jet3->TableDefs().Item("Table2")->Fields().Item("data")->Properties().Item("DecimalPlaces");
  EXPECT_EQ(places->Value(), platform::Variant(std::uint8_t{255}));
  EXPECT_EQ(places->Type(), dbByte);
  EXPECT_EQ(ErrorOf([&] { yesNo->Properties().Item("Caption"); }), 3265);

  // Ascending and descending index fields over the same column.
  const IndexCollection& indexes = jet3->TableDefs().Item("Table11")->Indexes();
  EXPECT_EQ(indexes.Item("data")->Fields().Item(0)->Attributes() & dbDescending, 0);
  EXPECT_EQ(indexes.Item("dataDesc")->Fields().Item(0)->Attributes() & dbDescending, dbDescending);
}

}  // namespace
}  // namespace dao
