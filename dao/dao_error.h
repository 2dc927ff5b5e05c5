// DAO's error: the exception every DAO object raises, and the record of it
// that DBEngine::Errors keeps.
#pragma once

#include <stdexcept>
#include <string>

namespace dao {

// One entry of DBEngine::Errors.
struct ErrorInfo {
  int number = 0;
  std::string source;  // "DAO.Database", "DAO.Recordset", ...
  std::string description;
  std::string helpFile;
  int helpContext = 0;
};

class DaoError : public std::runtime_error {
 public:
  // `number` is DAO's error number, `source` the DAO object ("DAO.Field"),
  // `description` the English text; what() returns the description.
  DaoError(int number, std::string source, const std::string& description);

  int Number() const { return info_.number; }
  const std::string& Source() const { return info_.source; }
  const std::string& Description() const { return info_.description; }
  const std::string& HelpFile() const { return info_.helpFile; }
  int HelpContext() const { return info_.helpContext; }
  // All fields at once, as DBEngine::Errors records them.
  const ErrorInfo& Info() const { return info_; }

 private:
  ErrorInfo info_;
};

}  // namespace dao
