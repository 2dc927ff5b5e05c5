#pragma once
// TNtdDatabase: a directory of table files. A table bound to it finds a bare
// TableName there; the database knows which of its tables are open and which
// have unsaved changes, and closes its open tables when it goes away. All
// databases are listed by the one TNtdSession (ntd_session.h).

#include <string>
#include <vector>

#include "tablefile/ntd_session.h"

namespace tablefile {

class TNtdDataset;

inline constexpr char kDefaultDateFormat[] = "mm/dd/yyyy";

class TNtdDatabase {
 public:
  explicit TNtdDatabase(std::string name = {});
  // Closes the open tables; bound tables forget the database.
  ~TNtdDatabase();
  TNtdDatabase(const TNtdDatabase&) = delete;
  TNtdDatabase& operator=(const TNtdDatabase&) = delete;

  const std::string& Name() const { return name_; }
  // The directory of the tables; a non-empty path always ends with "/".
  const std::string& DatabasePath() const { return path_; }
  void SetDatabasePath(std::string path);
  // Kept with the component; the engine does not use it.
  const std::string& DateFormat() const { return dateFormat_; }
  void SetDateFormat(std::string format) { dateFormat_ = std::move(format); }

  // Datasets from the end of their open to their close (added once).
  void AddOpenTable(TNtdDataset* dataset);
  void RemoveOpenTable(TNtdDataset* dataset);
  const std::vector<TNtdDataset*>& OpenTables() const { return openTables_; }
  // Datasets from their first unsaved change until the changes are
  // cancelled, reverted or accepted or the dataset closes (added once).
  void AddChangedTable(TNtdDataset* dataset);
  void RemoveChangedTable(TNtdDataset* dataset);
  const std::vector<TNtdDataset*>& ChangedTables() const { return changedTables_; }
  // Closes every open table, the last first.
  void CloseAllTables();

 private:
  friend class TNtdDataset;
  // Datasets whose Database is this one, open or not.
  void BindTable(TNtdDataset* dataset);
  void UnbindTable(TNtdDataset* dataset);

  std::string name_;
  std::vector<TNtdDataset*> openTables_;
  std::vector<TNtdDataset*> changedTables_;
  std::vector<TNtdDataset*> boundTables_;
  std::string path_;
  std::string dateFormat_ = kDefaultDateFormat;
};

}  // namespace tablefile
