#pragma once

// TAccessDatabase: the connection to one Access (Jet) database. It finds
// the DAO versions the machine offers, starts a DAO engine with one
// workspace, opens and closes the database file when Connected changes,
// reports the engine's and the file's versions, keeps the names of the
// database's tables and stored queries, creates database files and tables,
// and hands its open DAO objects to the table datasets (TAccessTable) that
// read and write rows.
//
// Properties that shape how the database is opened refuse to change while
// it is connected; their messages name the setter. Errors of this class
// are recordset::EDatabaseError ("Name: " in front when the component has
// a name); errors DAO raises itself pass through as dao::DaoError with
// DAO's description, and DBEngine::Errors (GetLastDaoError) keeps them.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dao/database.h"
#include "dao/db_engine.h"
#include "dao/workspace.h"

namespace accessdb {

class TAccessTable;

// What GetLastDaoError reports: DAO's latest error, or zeros and empty texts.
struct DaoErrorInfo {
  std::int32_t Number = 0;
  std::string Source;
  std::string Description;
  std::string HelpFile;
  std::int32_t HelpContext = 0;
};

// The workspace types of EngineType.
inline constexpr int kEngineTypeOdbcDirect = 1;
inline constexpr int kEngineTypeJet = 2;

class TAccessDatabase {
 public:
  using ConnectEvent = std::function<void(TAccessDatabase& database)>;
  // Receives the lines "USER NAME=...", "PASSWORD=...", "DBPASSWORD=..."
  // and may change their values.
  using LoginEvent = std::function<void(TAccessDatabase& database, std::vector<std::string>& loginParams)>;

  // Finds the installed DAO versions and creates an engine of the lowest
  // one; no workspace exists until the engine is started (Loaded, a
  // restarting setter or connecting). Fails with "Cannot find DAO on your
  // system!" when the registry lists no DAO engine.
  explicit TAccessDatabase(std::string name = {});
  // Disconnects, closes the workspace, and lets the tables bound to it
  // forget it.
  ~TAccessDatabase();
  TAccessDatabase(const TAccessDatabase&) = delete;
  TAccessDatabase& operator=(const TAccessDatabase&) = delete;

  // The component name; it prefixes the errors of this component.
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }

  // --- Loading of stored settings -----------------------------------------
  // Between BeginLoading and Loaded the restarting setters only store their
  // values. Loaded starts the engine when not connected; a failure is
  // ignored, so that settings naming an unavailable engine fail at the
  // first connect instead.
  void BeginLoading() { loading_ = true; }
  void Loaded();
  bool Loading() const { return loading_; }

  // --- Stored properties ----------------------------------------------------
  std::string ComponentVersion() const { return "10.00"; }
  void SetComponentVersion(std::string_view) {}
  bool Exclusive() const { return exclusive_; }
  void SetExclusive(bool exclusive);
  // The name of the open database's sort order; empty when not connected.
  std::string DatabaseLanguage() const;
  // "Access" (any case), "ODBC" or an installable ISAM's name; writing it
  // also empties Database.
  const std::string& DatabaseType() const { return databaseType_; }
  void SetDatabaseType(std::string type);
  // The database file's path.
  const std::string& Database() const { return database_; }
  void SetDatabase(std::string path);
  // Appended to the connect string.
  const std::string& DatabaseParameters() const { return databaseParameters_; }
  void SetDatabaseParameters(std::string parameters);
  // The open database's version ("3.0" for Jet 3 files, "4.0" for Jet 4
  // files), set on connect and kept after disconnecting.
  const std::string& DatabaseVersionInfo() const { return databaseVersionInfo_; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  bool LoginPrompt() const { return loginPrompt_; }
  void SetLoginPrompt(bool prompt);
  // Restart the engine; a failure to do so is ignored (it shows at connect).
  const std::string& UserName() const { return userName_; }
  void SetUserName(std::string userName);
  const std::string& Password() const { return password_; }
  void SetPassword(std::string password);
  bool UseODBCDialog() const { return useOdbcDialog_; }
  void SetUseODBCDialog(bool use) { useOdbcDialog_ = use; }
  const std::string& DatabasePassword() const { return databasePassword_; }
  void SetDatabasePassword(std::string password);
  // The workgroup file; empty means the registry's default. Restarts the
  // engine; when that fails the previous value comes back and the error is
  // raised (so do Version, Workspace, EngineType and PrivateEngine).
  const std::string& SystemDatabase() const { return systemDatabase_; }
  void SetSystemDatabase(std::string path);
  // Pre-fills the login prompt's user name.
  bool SaveUserName() const { return saveUserName_; }
  void SetSaveUserName(bool save) { saveUserName_ = save; }
  // List system tables in TableNames too (rebuilt at once when connected).
  bool ShowSystemObjects() const { return showSystemObjects_; }
  void SetShowSystemObjects(bool show);
  // Look for a missing database file in the application's folder.
  bool SmartOpen() const { return smartOpen_; }
  void SetSmartOpen(bool smart) { smartOpen_ = smart; }
  // kEngineTypeJet (2) or kEngineTypeOdbcDirect (1).
  int EngineType() const { return engineType_; }
  void SetEngineType(int type);
  // Use the "DAO.PrivateDBEngine" ProgIDs.
  bool PrivateEngine() const { return privateEngine_; }
  void SetPrivateEngine(bool privateEngine);
  bool TrackTransactions() const { return trackTransactions_; }
  void SetTrackTransactions(bool track);
  // True once an engine has been asked for.
  bool UsesDynaDao() const { return usesDynaDao_; }
  void SetUsesDynaDao(bool) {}
  // The DAO version asked for: "3.5", "3.6" or "12.0". Written values are
  // cut after the first digit behind the point ("3.60" gives "3.6"). When
  // that version cannot be had, the next newer installed one is used.
  const std::string& Version() const { return version_; }
  void SetVersion(std::string_view version);
  // The engine's own version text, and which Access it matches
  // ("(In Access'2000 mode)").
  const std::string& VersionDetails() const { return versionDetails_; }
  void SetVersionDetails(std::string_view) {}
  const std::string& VersionInfo() const { return versionInfo_; }
  void SetVersionInfo(std::string_view) {}
  // The workspace's name.
  const std::string& Workspace() const { return workspace_; }
  void SetWorkspace(std::string name);
  // Given to an ODBCDirect workspace.
  int DefaultCursorDriver() const { return defaultCursorDriver_; }
  void SetDefaultCursorDriver(int driver);
  // Given to the database on connect when not 60.
  int QueryTimeout() const { return queryTimeout_; }
  void SetQueryTimeout(int seconds) { queryTimeout_ = seconds; }
  // Pick the DAO version from the database file's header before connecting.
  bool MdbVersionAutoDetect() const { return mdbVersionAutoDetect_; }
  void SetMdbVersionAutoDetect(bool detect) { mdbVersionAutoDetect_ = detect; }

  // --- Events -----------------------------------------------------------------
  void SetOnLogin(LoginEvent handler) { onLogin_ = std::move(handler); }
  void SetOnBeforeConnect(ConnectEvent handler) { onBeforeConnect_ = std::move(handler); }
  void SetOnAfterConnect(ConnectEvent handler) { onAfterConnect_ = std::move(handler); }
  void SetOnBeforeDisconnect(ConnectEvent handler) { onBeforeDisconnect_ = std::move(handler); }
  void SetOnAfterDisconnect(ConnectEvent handler) { onAfterDisconnect_ = std::move(handler); }

  // --- Connection ---------------------------------------------------------------
  bool Connected() const { return connected_; }
  // true opens the database (starting the engine anew), false closes it
  // after closing every table attached to it. Setting the current value
  // does nothing. A failed connect leaves it disconnected.
  void SetConnected(bool connected);

  // --- The DAO objects and what they list --------------------------------------
  const std::shared_ptr<dao::DBEngine>& EngineObject() const { return engine_; }
  const std::shared_ptr<dao::Workspace>& WorkspaceObject() const { return workspaceObject_; }
  // The open database while connected.
  const std::shared_ptr<dao::Database>& DatabaseObject() const { return databaseObject_; }
  // The DAO versions found at construction, oldest first.
  const std::vector<std::string>& DaoVersions() const { return daoVersions_; }
  // The open database's tables (without system tables unless
  // ShowSystemObjects) and stored queries.
  const std::vector<std::string>& TableNames() const { return tableNames_; }
  const std::vector<std::string>& QueryDefNames() const { return queryDefNames_; }
  // The tables open on this database, with their names.
  const std::vector<std::pair<std::string, TAccessTable*>>& AttachedTables() const { return attachedTables_; }

  // --- Operations -----------------------------------------------------------------
  // Refreshes the DAO collections and rebuilds TableNames and QueryDefNames.
  void RefreshDefinitions();
  // Lets the engine free read locks and refresh its cache.
  void IdleEngine();
  // DAO's latest error (error 0 of DBEngine::Errors).
  DaoErrorInfo GetLastDaoError() const;
  // Deletes index `indexName` of table `tableName` of the open database.
  void DeleteIndex(const std::string& tableName, const std::string& indexName);
  // Creates an empty database file `fileName` in the format of Version
  // ("3.5" a Jet 3 file, "3.6" a Jet 4 file) without connecting to it. The
  // engine must have been started. DAO refuses an existing file.
  void CreateDatabaseFile(const std::string& fileName);
  // Creates table `tableName` in the open database. The five lists run in
  // parallel, one entry per field: names, DAO type codes (AutoIncrementType
  // for an AutoNumber Long), sizes, index flags (1 primary-key member, 2 an
  // own unique index, 4 an own index, summed) and required flags (1).
  // Answers true. Nothing is rolled back when DAO fails after the table
  // was appended.
  bool CreateTable(const std::string& tableName, const std::vector<std::string>& names,
                   const std::vector<std::int32_t>& types, const std::vector<std::int32_t>& sizes,
                   const std::vector<std::int32_t>& indexFlags, const std::vector<std::int32_t>& requiredFlags);

  // --- For TAccessTable ----------------------------------------------------------
  // Tables whose Database is this component; they forget it when it goes.
  void BindTable(TAccessTable& table);
  void UnbindTable(TAccessTable& table);
  // Tables open on this database.
  void AttachTable(const std::string& name, TAccessTable& table);
  void DetachTable(TAccessTable& table);
  // True while a disconnect closes the attached tables.
  bool ClosingAttachedTables() const { return closingAttachedTables_; }

  // Throws EDatabaseError with `text`, prefixed with "Name: " when named.
  [[noreturn]] void RaiseError(std::string_view text) const;

 private:
  void FindDaoVersions();
  void CreateEngine(const std::string& requested);
  void StartEngine();
  // Stores `value` into `member` and restarts the engine unless loading;
  // when the restart fails, the previous value returns, the engine is
  // restarted with it, and the first error is raised.
  template <class T>
  void RestartWithRollback(T& member, T value);
  void Connect();
  void Disconnect();
  // The login exchange; false when the user cancelled the prompt.
  bool AskForLogin();
  void ExchangeLoginParams();
  void OpenDatabase();
  void DetectMdbVersion(const std::string& path);
  void CloseAttachedTables();
  void RefuseWhileConnected(std::string_view message) const;
  // Restarts the engine unless loading; a failure is ignored.
  void RestartIgnoringFailure();

  std::string name_;
  bool loading_ = false;

  bool exclusive_ = false;
  std::string databaseType_ = "Access";
  std::string database_;
  std::string databaseParameters_;
  std::string databaseVersionInfo_;
  bool readOnly_ = false;
  bool loginPrompt_ = false;
  std::string userName_ = "Admin";
  bool useOdbcDialog_ = true;
  std::string password_;
  std::string databasePassword_;
  std::string systemDatabase_;
  bool saveUserName_ = true;
  bool showSystemObjects_ = false;
  bool smartOpen_ = true;
  int engineType_ = kEngineTypeJet;
  bool privateEngine_ = false;
  bool trackTransactions_ = true;
  bool usesDynaDao_ = false;
  std::string version_;
  std::string versionDetails_;
  std::string versionInfo_;
  std::string workspace_ = "DaoWorkspace";
  int defaultCursorDriver_ = -1;
  int queryTimeout_ = 60;
  bool mdbVersionAutoDetect_ = false;

  LoginEvent onLogin_;
  ConnectEvent onBeforeConnect_;
  ConnectEvent onAfterConnect_;
  ConnectEvent onBeforeDisconnect_;
  ConnectEvent onAfterDisconnect_;

  bool connected_ = false;
  std::shared_ptr<dao::DBEngine> engine_;
  std::shared_ptr<dao::Workspace> workspaceObject_;
  std::shared_ptr<dao::Database> databaseObject_;
  std::vector<std::string> daoVersions_;
  std::vector<std::string> tableNames_;
  std::vector<std::string> queryDefNames_;
  std::vector<std::pair<std::string, TAccessTable*>> attachedTables_;
  std::vector<TAccessTable*> boundTables_;
  bool closingAttachedTables_ = false;
};

}  // namespace accessdb
