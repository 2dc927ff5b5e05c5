#pragma once
// Opening a Jet database for a command: with the password the command was
// given, or else without one and, when the database turns out to have one,
// with the password asked for on the terminal.

#include <memory>
#include <optional>
#include <string>

#include "dao/workspace.h"

namespace tools {

// Opens the database at `path` (read-only when `readOnly`). Throws
// dao::DaoError as OpenDatabase does (3031 for a wrong or missing password).
std::shared_ptr<dao::Database> OpenJetDatabase(dao::Workspace& workspace, const std::string& path,
                                               const std::optional<std::string>& password, bool readOnly);

}  // namespace tools
