// DAO Workspace objects: a session of one user in which databases are
// opened.
#pragma once

#include <memory>
#include <string>

#include "dao/collection.h"
#include "dao/database.h"
#include "dao/engine_state.h"

namespace dao {

using DatabaseCollection = Collection<Database>;

class Workspace {
 public:
  // `engineVersion` is the DBEngine's version ("3.5" engines cannot open
  // Jet 4 files); `type` is dbUseJet or dbUseODBC.
  Workspace(EngineLink engine, std::string engineVersion, std::string name, std::string userName, int type);
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  const std::string& Name() const { return name_; }
  const std::string& UserName() const { return userName_; }
  // dbUseJet or dbUseODBC.
  int Type() const { return type_; }
  int DefaultCursorDriver() const { return defaultCursorDriver_; }
  void SetDefaultCursorDriver(int driver) { defaultCursorDriver_ = driver; }

  // Opens the Jet database file `name`. `exclusive` is accepted as DAO's
  // options argument; `readOnly` opens without write access (a file that
  // cannot be written is opened read-only anyway). The connect string's PWD
  // must match the database password (DaoError 3031). Raises 3024 for a
  // missing file, 3343 for a file that is not a database this engine reads,
  // 3170 for connect strings of other database types.
  std::shared_ptr<Database> OpenDatabase(const std::string& name, bool exclusive = false,
                                         bool readOnly = false, const std::string& connect = "");
  // ODBCDirect connections are not available (DaoError 3847).
  std::shared_ptr<Database> OpenConnection(const std::string& name, int options = 0, bool readOnly = false,
                                           const std::string& connect = "");
  // The databases opened in this workspace and still open.
  const DatabaseCollection& Databases() const { return databases_; }
  // Closes every database of the workspace.
  void Close();

 private:
  EngineLink engine_;
  std::string engineVersion_;
  std::string name_;
  std::string userName_;
  int type_;
  int defaultCursorDriver_ = -1;
  DatabaseCollection databases_;
};

using WorkspaceCollection = Collection<Workspace>;

}  // namespace dao
