// TAccessDatabase against copies of real Jet 3 and Jet 4 files: DAO
// discovery through the registry with its upward fallback, engine restarts
// with roll-back, connecting and disconnecting, the login exchange, the
// refusals while connected, and creating database files and tables
// checked by the independent readers.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "access/access_database.h"
#include "access/access_table.h"
#include "access/dao_helpers.h"
#include "access/tests/access_test_support.h"
#include "dao/constants.h"
#include "dao/dao_error.h"
#include "dao/jet/tests/external_readers.h"
#include "platform/application_folder.h"
#include "platform/testing/memory_registry.h"
#include "platform/testing/scripted_dialogs.h"

namespace accessdb {
namespace {

using platform::RootKey;
using platform::testing::MemoryRegistry;
using testing::ErrorOf;

// A registry that offers exactly the ProgIDs given.
MemoryRegistry RegistryWith(std::initializer_list<const char*> progIds) {
  MemoryRegistry registry;
  for (const char* progId : progIds) registry.AddKey(RootKey::kClassesRoot, progId);
  return registry;
}

class DatabaseTest : public testing::AccessTest {};

TEST_F(DatabaseTest, FindsEveryEngineOurDaoServesAndStartsWithTheOldest) {
  TAccessDatabase database;
  EXPECT_EQ(database.DaoVersions(), (std::vector<std::string>{"3.5", "3.6", "12.0"}));
  EXPECT_EQ(database.Version(), "3.5");
  EXPECT_EQ(database.VersionDetails(), "3.5");
  EXPECT_EQ(database.VersionInfo(), "(In Access'97 mode)");
  ASSERT_NE(database.EngineObject(), nullptr);
  EXPECT_EQ(database.WorkspaceObject(), nullptr);  // the first start creates it
  database.SetVersion("3.60");
  EXPECT_EQ(database.Version(), "3.6");
  EXPECT_EQ(database.VersionInfo(), "(In Access'2000 mode)");
  ASSERT_NE(database.WorkspaceObject(), nullptr);
  EXPECT_EQ(database.WorkspaceObject()->Name(), "DaoWorkspace");
  database.SetVersion("12.00");
  EXPECT_EQ(database.VersionInfo(), "(In Access'2007 mode)");
}

TEST_F(DatabaseTest, ARegistryWithoutDaoRefusesConstruction) {
  const MemoryRegistry empty;
  const platform::ScopedRegistry scope(empty);
  EXPECT_EQ(ErrorOf([] { TAccessDatabase database("AccessDatabase1"); }),
            "AccessDatabase1: Cannot find DAO on your system!");
}

TEST_F(DatabaseTest, AMissingVersionFallsUpwardButNeverDown) {
  const MemoryRegistry registry = RegistryWith({"DAO.DBEngine.36"});
  const platform::ScopedRegistry scope(registry);
  TAccessDatabase database;
  EXPECT_EQ(database.DaoVersions(), std::vector<std::string>{"3.6"});
  EXPECT_EQ(database.Version(), "3.6");
  database.SetVersion("3.5");
  EXPECT_EQ(database.Version(), "3.6");  // 3.5 is not there; 3.6 stands in
  // 12.0 cannot fall back to 3.6: the version returns and the error stays.
  EXPECT_EQ(ErrorOf([&] { database.SetVersion("12.0"); }),
            "You does not have Microsoft DAO installed ot it is an OLD Version!");
  EXPECT_EQ(database.Version(), "3.6");
  EXPECT_NE(database.WorkspaceObject(), nullptr);  // started again with the old version
  EXPECT_EQ(ErrorOf([&] { database.SetVersion("4"); }),
            "You does not have Microsoft DAO installed ot it is an OLD Version!");
  EXPECT_EQ(database.Version(), "3.6");
  // The private ProgIDs are a family of their own.
  EXPECT_EQ(ErrorOf([&] { database.SetPrivateEngine(true); }),
            "You does not have Microsoft DAO installed ot it is an OLD Version!");
  EXPECT_FALSE(database.PrivateEngine());
}

TEST_F(DatabaseTest, TheRegistryNamesTheDefaultWorkgroupFile) {
  MemoryRegistry registry = RegistryWith({"DAO.DBEngine.35", "DAO.DBEngine.36"});
  registry.SetString(RootKey::kLocalMachine, "SOFTWARE\\Microsoft\\JET\\3.5\\Engines", "SystemDB", "/w/system35.mdw");
  registry.SetString(RootKey::kLocalMachine, "SOFTWARE\\Microsoft\\JET\\4.0\\Engines", "SystemDB", "/w/system.mdw");
  const platform::ScopedRegistry scope(registry);
  TAccessDatabase database;
  EXPECT_EQ(database.SystemDatabase(), "/w/system35.mdw");
  EXPECT_EQ(database.EngineObject()->SystemDB(), "/w/system35.mdw");
  database.SetVersion("3.6");
  database.SetSystemDatabase("");
  EXPECT_EQ(database.SystemDatabase(), "/w/system.mdw");
  database.SetSystemDatabase("system.mdb");
  EXPECT_EQ(database.EngineObject()->SystemDB(), "system.mdb");
}

TEST_F(DatabaseTest, LoadingDefersTheEngineStartAndSwallowsItsFailure) {
  TAccessDatabase database;
  database.BeginLoading();
  database.SetVersion("3.6");
  database.SetWorkspace("Nutaro");
  EXPECT_EQ(database.WorkspaceObject(), nullptr);
  database.Loaded();
  ASSERT_NE(database.WorkspaceObject(), nullptr);
  EXPECT_EQ(database.Workspace(), "Nutaro");

  // Settings naming an account the engine refuses: the window still
  // loads, and the first connect tells.
  TAccessDatabase refused;
  refused.BeginLoading();
  refused.SetUserName("Fred");
  refused.Loaded();
  EXPECT_EQ(refused.WorkspaceObject(), nullptr);
  refused.SetDatabase(CopyFixture("nutaro/nuta4-basic.mdb"));
  EXPECT_EQ(ErrorOf([&] { refused.SetConnected(true); }), "Not a valid account name or password.");
  EXPECT_EQ(refused.GetLastDaoError().Number, 3029);
  EXPECT_FALSE(refused.Connected());
}

TEST_F(DatabaseTest, ConnectsJet3AndJet4FilesAndListsTheirUserTables) {
  struct Case {
    const char* fixture;
    const char* version;
    std::vector<std::string> tables;
  };
  const Case cases[] = {{"access/v1997-indexTest.mdb", "3.0", {"Table1", "Table2", "Table3"}},
                        {"nutaro/nuta4-basic.mdb", "4.0", {"nuta"}},
                        {"access/v2000-empty.mdb", "4.0", {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fixture);
    auto database = Connect(CopyFixture(c.fixture));
    EXPECT_TRUE(database->Connected());
    EXPECT_EQ(database->DatabaseVersionInfo(), c.version);
    std::vector<std::string> names = database->TableNames();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, c.tables);
    EXPECT_EQ(database->DatabaseLanguage(),
              "General (English, French, German, Portuguese, Italian, and Modern Spanish)");
    database->SetShowSystemObjects(true);
    EXPECT_TRUE(std::find(database->TableNames().begin(), database->TableNames().end(), "MSysObjects") !=
                database->TableNames().end());
    database->SetConnected(false);
    EXPECT_EQ(database->DatabaseVersionInfo(), c.version);  // kept after disconnecting
    EXPECT_TRUE(database->TableNames().empty());
    EXPECT_EQ(database->DatabaseLanguage(), "");
  }
}

TEST_F(DatabaseTest, ConnectingTwiceOpensOnceAndDisconnectingTwiceDoesNothing) {
  TAccessDatabase database;
  database.SetConnected(false);  // nothing to close, no Database needed
  database.SetVersion("3.6");
  database.SetDatabase(CopyFixture("nutaro/nuta4-basic.mdb"));
  int connects = 0;
  int disconnects = 0;
  std::vector<std::string> events;
  database.SetOnBeforeConnect([&](TAccessDatabase&) { events.push_back("before connect"); });
  database.SetOnAfterConnect([&](TAccessDatabase&) { events.push_back("after connect"), ++connects; });
  database.SetOnBeforeDisconnect([&](TAccessDatabase&) { events.push_back("before disconnect"); });
  database.SetOnAfterDisconnect([&](TAccessDatabase&) { events.push_back("after disconnect"), ++disconnects; });
  database.SetConnected(true);
  const auto opened = database.DatabaseObject();
  database.SetConnected(true);
  EXPECT_EQ(database.DatabaseObject(), opened);
  database.SetConnected(false);
  database.SetConnected(false);
  EXPECT_EQ(events, (std::vector<std::string>{"before connect", "after connect", "before disconnect",
                                              "after disconnect"}));
  EXPECT_EQ(database.DatabaseObject(), nullptr);
}

TEST_F(DatabaseTest, A35EngineConnectsJet3FilesOnlyAndAutoDetectPicksTheEngine) {
  const std::string jet4 = CopyFixture("nutaro/nuta4-basic.mdb");
  TAccessDatabase database;
  database.SetDatabase(jet4);
  ASSERT_EQ(database.Version(), "3.5");
  EXPECT_NE(ErrorOf([&] { database.SetConnected(true); }), "");  // DAO 3.5 cannot read Jet 4
  EXPECT_FALSE(database.Connected());
  database.SetMdbVersionAutoDetect(true);
  database.SetConnected(true);
  EXPECT_EQ(database.Version(), "3.6");
  EXPECT_EQ(database.DatabaseVersionInfo(), "4.0");
  database.SetConnected(false);
  database.SetDatabase(CopyFixture("access/v1997-test2.mdb"));
  database.SetConnected(true);
  EXPECT_EQ(database.Version(), "3.5");
  EXPECT_EQ(database.DatabaseVersionInfo(), "3.0");
}

TEST_F(DatabaseTest, ConnectingNeedsADatabaseAndATypeAndAnExistingFile) {
  TAccessDatabase database("AccessDatabase1");
  EXPECT_EQ(ErrorOf([&] { database.SetConnected(true); }),
            "AccessDatabase1: TAccessDatabase.F_Set_Active: Database property is not defined!");
  database.SetDatabaseType("");
  database.SetDatabase(Path("x.mdb"));
  EXPECT_EQ(ErrorOf([&] { database.SetConnected(true); }),
            "AccessDatabase1: TAccessDatabase.F_Set_Active: DatabaseType property is not defined!");
  database.SetDatabaseType("access");  // any letter case
  EXPECT_EQ(database.Database(), "");  // writing the type empties the path
  database.SetSmartOpen(false);
  database.SetDatabase(Path("fehlt.mdb"));
  EXPECT_EQ(ErrorOf([&] { database.SetConnected(true); }),
            "AccessDatabase1: Cannot find Database:\r\n" + Path("fehlt.mdb"));
  EXPECT_FALSE(database.Connected());
}

TEST_F(DatabaseTest, SmartOpenLooksInTheApplicationsFolder) {
  const std::string name = "smart-open-" + std::to_string(::getpid()) + ".mdb";
  const std::string besideProgram = platform::ApplicationFolder() + name;
  std::filesystem::copy_file(CopyFixture("nutaro/nuta4-empty.mdb"), besideProgram);
  struct Remove {
    std::string path;
    ~Remove() { std::filesystem::remove(path); }
  } remove{besideProgram};
  TAccessDatabase database;
  database.SetVersion("3.6");
  database.SetDatabase(Path("gone/" + name));
  database.SetConnected(true);
  EXPECT_EQ(database.Database(), besideProgram);
  database.SetConnected(false);
  // The path is replaced even when the file is not there either.
  database.SetDatabase("/nirgends/fehlt.mdb");
  EXPECT_EQ(ErrorOf([&] { database.SetConnected(true); }),
            "Cannot find Database:\r\n" + platform::ApplicationFolder() + "fehlt.mdb");
  EXPECT_EQ(database.Database(), platform::ApplicationFolder() + "fehlt.mdb");
}

TEST_F(DatabaseTest, OtherDatabaseTypesGetDaosErrorForAMissingDriver) {
  TAccessDatabase database;
  database.SetVersion("3.6");
  database.SetDatabaseType("ODBC");
  database.SetDatabase("Nutaro");
  EXPECT_EQ(ErrorOf([&] { database.SetConnected(true); }), "Could not find installable ISAM.");
  database.SetDatabaseType("dBASE III");
  database.SetDatabase(Path("."));
  EXPECT_EQ(ErrorOf([&] { database.SetConnected(true); }), "Could not find installable ISAM.");
  EXPECT_EQ(database.GetLastDaoError().Number, 3170);
  EXPECT_EQ(database.GetLastDaoError().Source, "DAO.Workspace");

  database.SetEngineType(kEngineTypeOdbcDirect);
  EXPECT_EQ(ErrorOf([&] { database.SetConnected(true); }),
            "TAccessDatabase.F_Set_Active: ODBC direct workspaces NOT supported!");
  database.SetDatabaseType("ODBC");
  database.SetDatabase("ODBC;DSN=Nutaro");
  EXPECT_EQ(ErrorOf([&] { database.SetConnected(true); }), "ODBCDirect workspaces are not supported by this engine.");
  database.SetDatabaseType("Access");
  database.SetDatabase(CopyFixture("nutaro/nuta4-basic.mdb"));
  EXPECT_EQ(ErrorOf([&] { database.SetConnected(true); }),
            "TAccessDatabase.F_Set_Active: ODBC direct workspaces\r\nare NOT supported for MS Access Databases!");
  EXPECT_FALSE(database.Connected());
}

TEST_F(DatabaseTest, EverySettingThatShapesTheConnectionIsRefusedWhileConnected) {
  auto database = Connect(CopyFixture("nutaro/nuta4-basic.mdb"), "AccessDatabase2");
  const std::pair<std::function<void()>, std::string> refusals[] = {
      {[&] { database->SetDatabase("x"); }, "TAccessDatabase.F_Set_Database: Cannot set Database while Database is connected!"},
      {[&] { database->SetDatabaseParameters("x"); },
       "TAccessDatabase.F_Set_DatabaseParameters: Cannot set DatabaseParameters while Database is connected!"},
      {[&] { database->SetSystemDatabase("x"); },
       "TAccessDatabase.F_Set_SystemDatabase: Cannot set SystemDatabase while Database is connected!"},
      {[&] { database->SetVersion("3.5"); },
       "TAccessDatabase.F_Set_DaoVersion: Cannot set Dao Version while Database is connected!"},
      {[&] { database->SetWorkspace("x"); },
       "TAccessDatabase.F_Set_Workspace: Cannot set Workspace while Database is connected!"},
      {[&] { database->SetDatabaseType("ODBC"); },
       "TAccessDatabase.F_Set_DatabaseType: Cannot set Database Type while Database is connected!"},
      {[&] { database->SetEngineType(1); },
       "TAccessDatabase.F_Set_EngineType: Cannot set EngineType Type while Database is connected!"},
      {[&] { database->SetPrivateEngine(true); },
       "TAccessDatabase.F_Set_EngineType: Cannot set PrivateEngine Type while Database is connected!"},
      {[&] { database->SetReadOnly(true); },
       "TAccessDatabase.F_Set_ReadOnly: Cannot change mode while Database is connected!"},
      {[&] { database->SetExclusive(true); },
       "TAccessDatabase.F_Set_Exclusive: Cannot change Exclusive mode while Database is connected!"},
      {[&] { database->SetLoginPrompt(true); },
       "TAccessDatabase.F_Set_LoginPrompt: Cannot change LoginPrompt while Database is connected!"},
      {[&] { database->SetUserName("x"); },
       "TAccessDatabase.F_Set_UserName: Cannot change User Name while Database is connected!"},
      {[&] { database->SetPassword("x"); },
       "TAccessDatabase.F_Set_Password: Cannot change Password while Database is connected!"},
      {[&] { database->SetDatabasePassword("x"); },
       "TAccessDatabase.F_Set_DatabasePassword: Cannot change Database Password while Database is connected!"},
      {[&] { database->SetTrackTransactions(false); },
       "Cannot set TrackTransactions property when Database is connected!"},
  };
  for (const auto& [action, message] : refusals) EXPECT_EQ(ErrorOf(action), "AccessDatabase2: " + message);
  EXPECT_EQ(database->Version(), "3.6");
  EXPECT_EQ(database->UserName(), "Admin");
  EXPECT_EQ(database->DatabaseType(), "Access");
  EXPECT_TRUE(database->TrackTransactions());
  EXPECT_TRUE(database->Connected());
  // Settings that do not shape the connection may change.
  database->SetQueryTimeout(30);
  database->SetSmartOpen(false);
  database->SetShowSystemObjects(false);
}

TEST_F(DatabaseTest, AnAccountTheEngineRefusesIsKeptUntilTheConnectFails) {
  TAccessDatabase database;
  database.SetVersion("3.6");
  database.SetUserName("Fred");  // the restart fails quietly
  EXPECT_EQ(database.UserName(), "Fred");
  EXPECT_EQ(database.WorkspaceObject(), nullptr);
  database.SetDatabase(CopyFixture("nutaro/nuta4-basic.mdb"));
  EXPECT_EQ(ErrorOf([&] { database.SetConnected(true); }), "Not a valid account name or password.");
  database.SetUserName("Admin");
  database.SetConnected(true);
  EXPECT_TRUE(database.Connected());
}

TEST_F(DatabaseTest, TheLoginPromptFillsTheAccountAndACancelEndsSilently) {
  const std::string path = CopyFixture("nutaro/nuta4-basic.mdb");
  platform::testing::ScriptedDialogs dialogs;
  const platform::ScopedDialogs scope(dialogs);
  TAccessDatabase database;
  database.SetVersion("3.6");
  database.SetDatabase(path);
  database.SetLoginPrompt(true);
  // A wrong account: its error is shown and the prompt comes again.
  dialogs.PushLogin({true, "Fred", "geheim", ""});
  dialogs.PushLogin({true, "Admin", "", ""});
  database.SetConnected(true);
  EXPECT_TRUE(database.Connected());
  ASSERT_EQ(dialogs.Requests().size(), 3u);
  EXPECT_EQ(dialogs.Requests()[0].login.database, path);
  EXPECT_EQ(dialogs.Requests()[0].login.userName, "Admin");
  EXPECT_EQ(dialogs.Requests()[0].login.password, "");
  EXPECT_EQ(dialogs.MessageTexts(), std::vector<std::string>{"Not a valid account name or password."});
  EXPECT_EQ(dialogs.Requests()[2].login.userName, "Fred");  // SaveUserName shows the last name
  database.SetConnected(false);

  // Cancelled, and the engine refuses the emptied account too: no error,
  // no connection.
  dialogs.ClearRequests();
  database.SetSaveUserName(false);
  dialogs.PushLogin({false});
  database.SetConnected(true);
  EXPECT_FALSE(database.Connected());
  EXPECT_EQ(dialogs.Requests()[0].login.userName, "");
  EXPECT_EQ(dialogs.MessageTexts(),
            std::vector<std::string>{"If You not enter Username and Password You may not gain access to your data!"});
  EXPECT_EQ(database.UserName(), "");
}

TEST_F(DatabaseTest, TheLoginEventExchangesTheThreeLines) {
  TAccessDatabase database;
  database.SetVersion("3.6");
  database.SetDatabase(CopyFixture("nutaro/nuta4-basic.mdb"));
  database.SetUserName("Fred");
  database.SetDatabasePassword("alt");
  std::vector<std::string> seen;
  database.SetOnLogin([&](TAccessDatabase&, std::vector<std::string>& lines) {
    seen = lines;
    lines = {"user name=Admin", "DBPASSWORD=", "UNKNOWN=1"};
  });
  database.SetConnected(true);
  EXPECT_EQ(seen, (std::vector<std::string>{"USER NAME=Fred", "PASSWORD=", "DBPASSWORD=alt"}));
  EXPECT_TRUE(database.Connected());
  EXPECT_EQ(database.UserName(), "Admin");
  EXPECT_EQ(database.Password(), "");
  EXPECT_EQ(database.DatabasePassword(), "");
}

TEST_F(DatabaseTest, AReadOnlyConnectionMakesItsTablesReadOnly) {
  TAccessDatabase database;
  database.SetVersion("3.6");
  database.SetReadOnly(true);
  database.SetDatabase(CopyFixture("nutaro/nuta4-basic.mdb"));
  database.SetConnected(true);
  TAccessTable table;
  table.SetDatabase(&database);
  table.SetReadOnly(false);
  EXPECT_TRUE(table.ReadOnly());
  table.SetTableName("nuta");
  table.SetActive(true);
  EXPECT_TRUE(table.ReadOnly());
  EXPECT_FALSE(table.IsWritable());
  EXPECT_NE(ErrorOf([&] { table.AppendRow(); }), "");
}

TEST_F(DatabaseTest, DisconnectingClosesEveryAttachedTable) {
  auto database = Connect(CopyFixture("access/v1997-indexTest.mdb"));
  auto first = OpenTable(*database, "Table1", "Erste");
  auto second = OpenTable(*database, "Table2", "Zweite");
  ASSERT_EQ(database->AttachedTables().size(), 2u);
  EXPECT_EQ(database->AttachedTables()[0].first, "Erste");
  second->SetActive(false);
  ASSERT_EQ(database->AttachedTables().size(), 1u);
  second->SetActive(true);
  database->SetConnected(false);
  EXPECT_FALSE(first->Active());
  EXPECT_FALSE(second->Active());
  EXPECT_TRUE(database->AttachedTables().empty());
  // A table outliving its database forgets it.
  database.reset();
  EXPECT_EQ(first->Database(), nullptr);
}

// --- Creating database files and tables ------------------------------------------

TEST_F(DatabaseTest, CreatesJet4FilesWith36AndJet3FilesWith35) {
  for (const auto& [version, expected] : {std::pair{"3.6", "4.0"}, std::pair{"3.5", "3.0"}}) {
    const std::string path = Path(std::string("neu") + version + ".mdb");
    TAccessDatabase creator("creator");
    creator.SetVersion(version);
    creator.CreateDatabaseFile(path);
    EXPECT_FALSE(creator.Connected());
    auto database = Connect(path);
    EXPECT_EQ(database->DatabaseVersionInfo(), expected);
    EXPECT_TRUE(database->TableNames().empty());
    if (dao::jet::testing::HaveMdbTools()) {
      EXPECT_EQ(dao::jet::testing::RunCommand("mdb-ver '" + path + "'"), std::string(version == std::string("3.6") ? "JET4\n" : "JET3\n"));
    }
  }
}

TEST_F(DatabaseTest, CreatingADatabaseFileNeedsAStartedEngineAFileFormatAndNoFile) {
  TAccessDatabase database("creator");
  EXPECT_EQ(ErrorOf([&] { database.CreateDatabaseFile(Path("a.mdb")); }),
            "creator: TAccessDatabase.CreateDatabaseFile: The DAO engine has not been started!");
  database.SetVersion("12.0");
  EXPECT_EQ(ErrorOf([&] { database.CreateDatabaseFile(Path("a.mdb")); }),
            "creator: TAccessDatabase.CreateDatabaseFile: Version 12.0 cannot create database files!");
  EXPECT_FALSE(std::filesystem::exists(Path("a.mdb")));
  database.SetVersion("3.6");
  const std::string existing = CopyFixture("nutaro/nuta4-basic.mdb");
  const auto before = std::filesystem::file_size(existing);
  try {
    database.CreateDatabaseFile(existing);
    ADD_FAILURE() << "an existing file was created over";
  } catch (const dao::DaoError& error) {
    EXPECT_EQ(error.Number(), 3204);
  }
  EXPECT_EQ(std::filesystem::file_size(existing), before);
}

TEST_F(DatabaseTest, CreateTableBuildsFieldsKeysIndexesAndRequiredFlags) {
  const std::string path = Path("tabellen.mdb");
  TAccessDatabase creator;
  creator.SetVersion("3.6");
  creator.CreateDatabaseFile(path);
  auto database = Connect(path, "Ziel");
  EXPECT_EQ(ErrorOf([&] { database->CreateTable("", {}, {}, {}, {}, {}); }),
            "Ziel: TAccessDatabase.CreateTable: TableName parameter is empty!");
  EXPECT_TRUE(database->CreateTable("Lebensmittel", {"ID", "Name", "Code", "Kcal", "Notiz"},
                                    {AutoIncrementType, dao::dbText, dao::dbText, dao::dbDouble, dao::dbMemo},
                                    {0, 80, 10, 0, 0}, {1, 4, 1 | 2, 0, 0}, {0, 1, 0, 1, 0}));
  EXPECT_EQ(database->TableNames(), std::vector<std::string>{"Lebensmittel"});
  const auto& table = database->DatabaseObject()->TableDefs().Item("Lebensmittel");
  const auto& fields = table->Fields();
  EXPECT_EQ(fields.Item("ID")->Type(), dao::dbLong);
  EXPECT_NE(fields.Item("ID")->Attributes() & dao::dbAutoIncrField, 0);
  EXPECT_EQ(fields.Item("Name")->Size(), 80);
  EXPECT_TRUE(fields.Item("Name")->Required());
  EXPECT_TRUE(fields.Item("Kcal")->Required());
  EXPECT_FALSE(fields.Item("Code")->Required());
  const auto& indexes = table->Indexes();
  ASSERT_EQ(indexes.Count(), 3);
  const auto& key = indexes.Item("PrimaryKey");
  EXPECT_TRUE(key->Primary());
  ASSERT_EQ(key->Fields().Count(), 2);
  EXPECT_EQ(key->Fields().Item(0)->Name(), "ID");
  EXPECT_EQ(key->Fields().Item(1)->Name(), "Code");
  EXPECT_FALSE(indexes.Item("Name")->Unique());
  EXPECT_TRUE(indexes.Item("Code")->Unique());

  database->SetConnected(false);
  EXPECT_EQ(ErrorOf([&] { database->CreateTable("T", {"a"}, {dao::dbText}, {10}, {0}, {0}); }),
            "Ziel: TAccessDatabase.CreateTable: Cannot create table while Database is NOT connected!");
  if (dao::jet::testing::HaveMdbTools()) {
    const auto schema = dao::jet::testing::RunCommand("mdb-schema -T Lebensmittel --indexes '" + path + "' postgres");
    ASSERT_TRUE(schema.has_value());
    EXPECT_NE(schema->find("PRIMARY KEY (\"id\", \"code\")"), std::string::npos) << *schema;
    EXPECT_NE(schema->find("CREATE UNIQUE INDEX \"lebensmittel_code_idx\""), std::string::npos) << *schema;
    EXPECT_NE(schema->find("CREATE INDEX \"lebensmittel_name_idx\""), std::string::npos) << *schema;
  }
}

TEST_F(DatabaseTest, DeleteIndexRemovesAStoredIndex) {
  auto database = Connect(CopyFixture("nutaro/nuta4-empty.mdb"));
  database->CreateTable("Neu", {"Name"}, {dao::dbText}, {50}, {4}, {0});
  database->DeleteIndex("Neu", "Name");
  EXPECT_FALSE(database->DatabaseObject()->TableDefs().Item("Neu")->Indexes().Contains("Name"));
  EXPECT_THROW(database->DeleteIndex("Neu", "Name"), dao::DaoError);
}

}  // namespace
}  // namespace accessdb
