#include "dao/jet/jet_error.h"

namespace dao::jet {

void ThrowDamaged(std::string_view detail) {
  throw JetError(kErrDatabaseDamaged,
                 "The database file is damaged and cannot be read: " + std::string(detail) + ".");
}

}  // namespace dao::jet
