// The database files this process has open for writing. Each open database
// keeps its own page cache, so a second writer of the same file would
// overwrite the first one's pages; such an open is refused instead.
#pragma once

#include <memory>
#include <string>

#include "dao/database_state.h"

namespace dao {

// Whether `state` may be written to the file at `path` without another open
// database of this process writing it too; if so, `state` is recorded as
// its writer for as long as it stays open.
bool ClaimFileForWriting(const std::string& path, const std::shared_ptr<DatabaseState>& state);

}  // namespace dao
