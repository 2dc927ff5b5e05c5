#pragma once
// The names of the DAO field types in dump documents: dump writes them and
// load reads them back, so both take them from this one table.

#include <optional>
#include <string>

namespace tools {

// The name a document gives the DAO type `daoType`; "Binary" for the types
// without a name of their own.
const char* DaoTypeName(int daoType);

// The DAO type named `name` (exact case), or nothing for an unknown name.
std::optional<int> DaoTypeNamed(const std::string& name);

// Every type name, comma-separated, for error messages.
std::string KnownDaoTypes();

}  // namespace tools
