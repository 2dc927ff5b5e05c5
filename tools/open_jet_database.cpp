#include "tools/open_jet_database.h"

#include "dao/dao_error.h"
#include "dao/jet/jet_error.h"
#include "tools/terminal_password.h"

namespace tools {

std::shared_ptr<dao::Database> OpenJetDatabase(dao::Workspace& workspace, const std::string& path,
                                               const std::optional<std::string>& password, bool readOnly) {
  if (password) return workspace.OpenDatabase(path, false, readOnly, ";PWD=" + *password);
  try {
    return workspace.OpenDatabase(path, false, readOnly);
  } catch (const dao::DaoError& error) {
    std::string asked;
    if (error.Number() != dao::jet::kErrWrongPassword || !AskPasswordOnTerminal(asked)) throw;
    return workspace.OpenDatabase(path, false, readOnly, ";PWD=" + asked);
  }
}

}  // namespace tools
