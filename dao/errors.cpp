#include "dao/errors.h"

#include "dao/jet/jet_error.h"

namespace dao {

const ErrorInfo& Errors::Item(int index) const {
  if (index < 0 || index >= Count()) {
    throw DaoError(jet::kErrItemNotFound, "DAO.Errors", "Item not found in this collection.");
  }
  return items_[static_cast<std::size_t>(index)];
}

void Errors::Record(const ErrorInfo& error) { items_.assign(1, error); }

}  // namespace dao
