// The connect string of OpenDatabase: an optional database type before the
// first ";" (empty for Jet databases) and KEY=VALUE pairs separated by ";",
// such as ";UID=Admin;PWD=secret;".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dao {

class ConnectString {
 public:
  explicit ConnectString(std::string_view text);

  // The part before the first ";" ("ODBC", "dBASE III", or empty).
  const std::string& DatabaseType() const { return type_; }
  // The value of `key` (letter case ignored); nullopt when absent.
  std::optional<std::string> Value(std::string_view key) const;

 private:
  std::string type_;
  std::vector<std::pair<std::string, std::string>> pairs_;
};

}  // namespace dao
