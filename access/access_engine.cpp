// TAccessDatabase: finding DAO, creating the engine and starting it with
// its workspace, and the engine services the tables use.

#include "access/access_database.h"
#include "access/access_messages.h"
#include "access/dao_call_log.h"
#include "access/dao_versions.h"
#include "dao/constants.h"

namespace accessdb {

void TAccessDatabase::FindDaoVersions() {
  daoVersions_.clear();
  for (const DaoVersion& candidate : DaoVersionFamily(privateEngine_)) {
    // The engine is created only to see that it can be; it goes at once.
    if (CreateEngineOf(candidate.progId)) daoVersions_.emplace_back(candidate.version);
  }
}

void TAccessDatabase::CreateEngine(const std::string& requested) {
  usesDynaDao_ = true;
  const std::vector<DaoVersion>& family = DaoVersionFamily(privateEngine_);
  // Only newer versions stand in for the one asked for, never older ones.
  bool reached = false;
  for (const DaoVersion& candidate : family) {
    reached = reached || candidate.version == requested;
    if (!reached) continue;
    if (auto engine = CreateEngineOf(candidate.progId)) {
      engine_ = std::move(engine);
      version_ = candidate.version;
      return;
    }
  }
  RaiseError(messages::kOldDao);
}

void TAccessDatabase::StartEngine() {
  if (workspaceObject_) {
    LogDaoCall("Workspace.Close");
    workspaceObject_->Close();
  }
  workspaceObject_.reset();
  engine_.reset();
  CreateEngine(version_);
  engine_->SetSystemDB(systemDatabase_);
  versionDetails_ = engine_->Version();
  versionInfo_ = VersionInfoOf(versionDetails_, versionInfo_);
  engine_->SetDefaultUser(userName_);
  engine_->SetDefaultPassword(password_);
  LogDaoCall("DBEngine.CreateWorkspace");
  auto workspace = engine_->CreateWorkspace(workspace_, userName_, password_, engineType_);
  engine_->Workspaces().Append(workspace);
  if (engineType_ == kEngineTypeOdbcDirect) workspace->SetDefaultCursorDriver(defaultCursorDriver_);
  workspace_ = workspace->Name();
  workspaceObject_ = std::move(workspace);
}

void TAccessDatabase::IdleEngine() {
  if (!engine_) return;
  LogDaoCall("DBEngine.Idle");
  engine_->Idle(dao::dbFreeLocks);
  engine_->Idle(dao::dbRefreshCache);
}

DaoErrorInfo TAccessDatabase::GetLastDaoError() const {
  DaoErrorInfo info;
  if (!engine_ || engine_->Errors().Count() == 0) return info;
  const dao::ErrorInfo& error = engine_->Errors().Item(0);
  info.Number = error.number;
  info.Source = error.source;
  info.Description = error.description;
  info.HelpFile = error.helpFile;
  info.HelpContext = error.helpContext;
  return info;
}

}  // namespace accessdb
