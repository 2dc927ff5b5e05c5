#include "tablefile/ntd_database.h"

#include <algorithm>

#include "tablefile/ntd_dataset.h"

namespace tablefile {
namespace {

constexpr char kPathSeparator = '/';

void AddOnce(std::vector<TNtdDataset*>& list, TNtdDataset* dataset) {
  if (std::find(list.begin(), list.end(), dataset) == list.end()) list.push_back(dataset);
}

}  // namespace

TNtdDatabase::TNtdDatabase(std::string name) : name_(std::move(name)) {
  TNtdSession::Instance().RegisterDatabase(this);
}

TNtdDatabase::~TNtdDatabase() {
  // Closing from a destructor must not throw: failures are reported instead.
  const std::vector<TNtdDataset*> open = openTables_;
  for (auto it = open.rbegin(); it != open.rend(); ++it) (*it)->CloseBeforeDestruction();
  for (TNtdDataset* dataset : std::vector<TNtdDataset*>(boundTables_)) dataset->DatabaseGone();
  TNtdSession::Instance().UnregisterDatabase(this);
}

void TNtdDatabase::SetDatabasePath(std::string path) {
  if (!path.empty() && path.back() != kPathSeparator) path += kPathSeparator;
  path_ = std::move(path);
}

void TNtdDatabase::AddOpenTable(TNtdDataset* dataset) { AddOnce(openTables_, dataset); }

void TNtdDatabase::RemoveOpenTable(TNtdDataset* dataset) { std::erase(openTables_, dataset); }

void TNtdDatabase::AddChangedTable(TNtdDataset* dataset) { AddOnce(changedTables_, dataset); }

void TNtdDatabase::RemoveChangedTable(TNtdDataset* dataset) { std::erase(changedTables_, dataset); }

void TNtdDatabase::CloseAllTables() {
  const std::vector<TNtdDataset*> open = openTables_;
  for (auto it = open.rbegin(); it != open.rend(); ++it) (*it)->SetActive(false);
  openTables_.clear();
}

void TNtdDatabase::BindTable(TNtdDataset* dataset) { AddOnce(boundTables_, dataset); }

void TNtdDatabase::UnbindTable(TNtdDataset* dataset) { std::erase(boundTables_, dataset); }

}  // namespace tablefile
