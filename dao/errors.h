// DBEngine::Errors: the errors of the most recent failed DAO operation.
#pragma once

#include <vector>

#include "dao/dao_error.h"

namespace dao {

class Errors {
 public:
  // Number of recorded errors.
  int Count() const { return static_cast<int>(items_.size()); }
  // Error `index` (0 = the most detailed); raises DaoError 3265 when absent.
  const ErrorInfo& Item(int index) const;
  // Keeps the collection as it is (it is always current).
  void Refresh() {}

  // Replaces the collection by the error of a new failure.
  void Record(const ErrorInfo& error);

 private:
  std::vector<ErrorInfo> items_;
};

}  // namespace dao
