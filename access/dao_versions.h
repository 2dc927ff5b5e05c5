#pragma once

// The DAO versions the Access layer knows: their ProgIDs, how an engine is
// created from a ProgID registered on the machine, and the registry's
// default workgroup file of each version.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dao/db_engine.h"

namespace accessdb {

struct DaoVersion {
  std::string_view version;  // "3.5", "3.6", "12.0"
  std::string_view progId;   // "DAO.DBEngine.35", ...
};

// The three versions, oldest first, of the public or the private family.
const std::vector<DaoVersion>& DaoVersionFamily(bool privateEngine);

// The engine of `progId` as COM would create it: only when the ProgID is
// registered under HKEY_CLASSES_ROOT of the current registry; nullptr when
// it is not or the engine cannot be created.
std::shared_ptr<dao::DBEngine> CreateEngineOf(std::string_view progId);

// The "SystemDB" value of the engine key of `version` (the 3.5 key for
// unknown versions); empty when the key or value is missing.
std::string DefaultSystemDatabase(std::string_view version);

// A version text cut after the first character behind the first "."
// ("3.60" gives "3.6", "12.00" gives "12.0"); without "." the first
// character alone.
std::string NormaliseVersion(std::string_view version);

// "(In Access'97 mode)", "(In Access'2000 mode)" or "(In Access'2007 mode)"
// after the start of the engine's version text; `previous` otherwise.
std::string VersionInfoOf(std::string_view details, const std::string& previous);

}  // namespace accessdb
