// TAccessDatabase: construction, the stored properties and their refusals
// while connected. The engine start is in access_engine.cpp, connecting in
// access_connect.cpp, creating files and tables in access_create.cpp.

#include "access/access_database.h"

#include "access/access_messages.h"
#include "access/access_table.h"
#include "access/dao_call_log.h"
#include "access/dao_failures.h"
#include "access/dao_versions.h"
#include "recordset/database_error.h"

namespace accessdb {

TAccessDatabase::TAccessDatabase(std::string name) : name_(std::move(name)) {
  FindDaoVersions();
  if (daoVersions_.empty()) RaiseError(messages::kNoDao);
  CreateEngine(daoVersions_.front());
  systemDatabase_ = DefaultSystemDatabase(version_);
  if (!systemDatabase_.empty()) engine_->SetSystemDB(systemDatabase_);
  engine_->SetDefaultUser(userName_);
  engine_->SetDefaultPassword("");
  engine_->SetDefaultType(kEngineTypeJet);
  versionDetails_ = engine_->Version();
  versionInfo_ = VersionInfoOf(versionDetails_, versionInfo_);
}

TAccessDatabase::~TAccessDatabase() {
  try {
    SetConnected(false);
  } catch (...) {
    // A destructor has nobody to tell; the file is closed below anyway.
  }
  if (workspaceObject_) workspaceObject_->Close();
  const auto tables = boundTables_;
  for (TAccessTable* table : tables) table->DatabaseGone();
}

void TAccessDatabase::RaiseError(std::string_view text) const { recordset::DatabaseError(text, name_); }

void TAccessDatabase::RefuseWhileConnected(std::string_view message) const {
  if (connected_) RaiseError(message);
}

void TAccessDatabase::Loaded() {
  loading_ = false;
  if (!connected_) RestartIgnoringFailure();
}

void TAccessDatabase::SetExclusive(bool exclusive) {
  RefuseWhileConnected(messages::kSetExclusive);
  exclusive_ = exclusive;
}

void TAccessDatabase::SetDatabaseType(std::string type) {
  RefuseWhileConnected(messages::kSetDatabaseType);
  databaseType_ = std::move(type);
  database_.clear();
}

void TAccessDatabase::SetDatabase(std::string path) {
  RefuseWhileConnected(messages::kSetDatabase);
  database_ = std::move(path);
}

void TAccessDatabase::SetDatabaseParameters(std::string parameters) {
  RefuseWhileConnected(messages::kSetDatabaseParameters);
  databaseParameters_ = std::move(parameters);
}

void TAccessDatabase::SetReadOnly(bool readOnly) {
  RefuseWhileConnected(messages::kSetReadOnly);
  readOnly_ = readOnly;
}

void TAccessDatabase::SetLoginPrompt(bool prompt) {
  RefuseWhileConnected(messages::kSetLoginPrompt);
  loginPrompt_ = prompt;
}

void TAccessDatabase::SetUserName(std::string userName) {
  RefuseWhileConnected(messages::kSetUserName);
  userName_ = std::move(userName);
  RestartIgnoringFailure();
}

void TAccessDatabase::SetPassword(std::string password) {
  RefuseWhileConnected(messages::kSetPassword);
  password_ = std::move(password);
  RestartIgnoringFailure();
}

void TAccessDatabase::SetDatabasePassword(std::string password) {
  RefuseWhileConnected(messages::kSetDatabasePassword);
  databasePassword_ = std::move(password);
}

void TAccessDatabase::SetSystemDatabase(std::string path) {
  RefuseWhileConnected(messages::kSetSystemDatabase);
  if (path.empty()) path = DefaultSystemDatabase(version_);
  RestartWithRollback(systemDatabase_, std::move(path));
}

void TAccessDatabase::SetShowSystemObjects(bool show) {
  showSystemObjects_ = show;
  if (connected_) RefreshDefinitions();
}

void TAccessDatabase::SetEngineType(int type) {
  RefuseWhileConnected(messages::kSetEngineType);
  RestartWithRollback(engineType_, type);
}

void TAccessDatabase::SetPrivateEngine(bool privateEngine) {
  RefuseWhileConnected(messages::kSetPrivateEngine);
  RestartWithRollback(privateEngine_, privateEngine);
}

void TAccessDatabase::SetTrackTransactions(bool track) {
  RefuseWhileConnected(messages::kSetTrackTransactions);
  trackTransactions_ = track;
}

void TAccessDatabase::SetVersion(std::string_view version) {
  RefuseWhileConnected(messages::kSetVersion);
  RestartWithRollback(version_, NormaliseVersion(version));
}

void TAccessDatabase::SetWorkspace(std::string name) {
  RefuseWhileConnected(messages::kSetWorkspace);
  RestartWithRollback(workspace_, std::move(name));
}

void TAccessDatabase::SetDefaultCursorDriver(int driver) {
  defaultCursorDriver_ = driver;
  if (engineType_ == kEngineTypeOdbcDirect && !loading_ && workspaceObject_) {
    LogDaoCall("Workspace.DefaultCursorDriver:=");
    workspaceObject_->SetDefaultCursorDriver(driver);
  }
}

template <class T>
void TAccessDatabase::RestartWithRollback(T& member, T value) {
  T previous = std::exchange(member, std::move(value));
  if (loading_) return;
  try {
    StartEngine();
  } catch (...) {
    member = std::move(previous);
    // The first failure is the one the caller hears of.
    IgnoringErrors([&] { StartEngine(); });
    throw;
  }
}

void TAccessDatabase::RestartIgnoringFailure() {
  // Settings naming an unavailable engine or an account the engine refuses
  // must not stop a window from opening; the first connect raises the error.
  if (!loading_) IgnoringErrors([&] { StartEngine(); });
}

}  // namespace accessdb
