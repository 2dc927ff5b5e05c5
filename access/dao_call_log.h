#pragma once

// A record of the DAO members the Access layer calls, for checking that a
// table drives DAO as DAO users expect (how many times a count walks the
// recordset, what posting a row sends). Nothing is recorded unless a log
// is installed; the check costs one pointer test per call.

#include <string>
#include <string_view>
#include <vector>

#include "platform/scoped_install.h"

namespace accessdb {

// Receives "Object.Member" for every call, "Object.Member:=" for every
// property assignment, in call order.
class DaoCallLog {
 public:
  virtual ~DaoCallLog() = default;
  virtual void Called(std::string_view member) = 0;
};

// A log that keeps every entry.
class RecordedDaoCalls : public DaoCallLog {
 public:
  void Called(std::string_view member) override { calls.emplace_back(member); }
  std::vector<std::string> calls;
};

// Installs a log for its lifetime; scopes nest.
using ScopedDaoCallLog = platform::ScopedInstall<DaoCallLog>;

// Tells the installed log, if any, that `member` is being called.
inline void LogDaoCall(std::string_view member) {
  if (DaoCallLog* log = platform::detail::InstalledSlot<DaoCallLog>()) log->Called(member);
}

}  // namespace accessdb
