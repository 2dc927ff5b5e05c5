// DAO Workspace objects: a session of one user in which databases are
// opened.
#pragma once

#include <memory>
#include <string>
#include <vector>

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
  // 3170 for connect strings of other database types, 3045 when another
  // program, or another open database of this one, writes the file.
  std::shared_ptr<Database> OpenDatabase(const std::string& name, bool exclusive = false,
                                         bool readOnly = false, const std::string& connect = "");
  // Creates the new Jet database file `name` (".mdb" is added when it has
  // no extension) and opens it. `locale` is DAO's locale text: only the
  // General sort order is available (";LANGID=0x0409;CP=1252;COUNTRY=0",
  // or empty), optionally with ";PWD=..." for a database password.
  // `options` picks the format: dbVersion40 (64) a Jet 4 file, dbVersion30
  // (32) a Jet 3 file, 0 the engine's own (Jet 3 for a "3.5" engine, Jet 4
  // otherwise). Raises DaoError 3204 when the file exists (it stays
  // untouched), 3001 for other locales, formats or options, 3044/3051/3043
  // when the file cannot be written; a failed creation leaves no file.
  std::shared_ptr<Database> CreateDatabase(const std::string& name, const std::string& locale, int options = 0);
  // ODBCDirect connections are not available (DaoError 3847).
  std::shared_ptr<Database> OpenConnection(const std::string& name, int options = 0, bool readOnly = false,
                                           const std::string& connect = "");
  // The databases opened in this workspace and still open (a database the
  // program no longer holds is closed, as DAO closes it).
  const DatabaseCollection& Databases();
  // Closes every database of the workspace.
  void Close();

 private:
  std::shared_ptr<Database> Open(const std::string& name, bool readOnly, const std::string& connect);

  EngineLink engine_;
  std::string engineVersion_;
  std::string name_;
  std::string userName_;
  int type_;
  int defaultCursorDriver_ = -1;
  std::vector<std::weak_ptr<Database>> opened_;
  DatabaseCollection databases_;
};

using WorkspaceCollection = Collection<Workspace>;

}  // namespace dao
