// DAO's DBEngine: the root object, created by its COM ProgID. It makes
// workspaces and keeps the errors of the last failed operation.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "dao/collection.h"
#include "dao/engine_state.h"
#include "dao/workspace.h"

namespace dao {

class DBEngine {
 public:
  // The engine of `progId`: "DAO.DBEngine.35", ".36", ".120" or the
  // "DAO.PrivateDBEngine" variants (letter case ignored). Raises DaoError
  // 429 for any other ProgID, as COM does for a class it cannot create.
  static std::shared_ptr<DBEngine> Create(std::string_view progId);
  DBEngine(const DBEngine&) = delete;
  DBEngine& operator=(const DBEngine&) = delete;

  // "3.5", "3.6" or "12.0", after the ProgID. A "3.5" engine reads only
  // Jet 3 files, as DAO 3.5 does.
  const std::string& Version() const { return version_; }
  // The workgroup file; stored only (this engine has no user-level
  // security, so every workspace belongs to the default user Admin).
  const std::string& SystemDB() const { return systemDb_; }
  void SetSystemDB(std::string path) { systemDb_ = std::move(path); }
  const std::string& DefaultUser() const { return defaultUser_; }
  void SetDefaultUser(std::string user) { defaultUser_ = std::move(user); }
  const std::string& DefaultPassword() const { return defaultPassword_; }
  void SetDefaultPassword(std::string password) { defaultPassword_ = std::move(password); }
  // dbUseJet (2) or dbUseODBC (1).
  int DefaultType() const { return defaultType_; }
  void SetDefaultType(int type) { defaultType_ = type; }

  // A new workspace for `user`; only the default account Admin with an
  // empty password exists (DaoError 3029 otherwise). `type` 0 means
  // DefaultType. The workspace is not appended to Workspaces.
  std::shared_ptr<Workspace> CreateWorkspace(const std::string& name, const std::string& user,
                                             const std::string& password, int type = 0);
  // The workspaces appended so far.
  WorkspaceCollection& Workspaces() { return workspaces_; }
  // Frees locks and refreshes caches; this engine keeps nothing to free.
  void Idle(int action = 0);
  // The errors of the most recent failed operation of any object of this
  // engine.
  dao::Errors& Errors() { return state_->errors; }

 private:
  explicit DBEngine(std::string version);

  EngineLink state_;
  std::string version_;
  std::string systemDb_;
  std::string defaultUser_ = "Admin";
  std::string defaultPassword_;
  int defaultType_ = 2;
  WorkspaceCollection workspaces_;
};

}  // namespace dao
