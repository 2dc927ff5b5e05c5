#include "dao/row_set.h"

#include <algorithm>

namespace dao {
namespace {

constexpr const char* kSource = "DAO.Recordset";

}  // namespace

RowSet::RowSet(std::shared_ptr<TableSource> table, bool empty, bool followsTable)
    : table_(std::move(table)), definition_(table_->SharedDefinition(kSource)), followsTable_(followsTable) {
  if (!empty) {
    jet::JetDatabase& jet = table_->Database()->Jet(kSource);
    scanner_.emplace(jet.Pages(), jet.GetLayout(), *definition_);
  }
}

RowSet::RowSet(std::shared_ptr<TableSource> table, std::vector<jet::RowPointer> entries)
    : table_(std::move(table)), followsTable_(false), rows_(std::move(entries)) {}

bool RowSet::Has(std::size_t index) {
  if (rows_.size() <= index && scanner_) {
    table_->Database()->Jet(kSource);  // raises once closed
    scannedGeneration_ = table_->Database()->Generation();
  }
  while (rows_.size() <= index && scanner_) {
    if (scanner_->Next()) {
      rows_.push_back(scanner_->Location());
    } else {
      scanner_.reset();
    }
  }
  return index < rows_.size();
}

const jet::RowRef* RowSet::ScannedRow(std::size_t index) const {
  if (!scanner_ || index + 1 != rows_.size() || scannedGeneration_ != table_->Database()->Generation()) return nullptr;
  return &scanner_->Row();
}

std::size_t RowSet::Size() {
  Has(static_cast<std::size_t>(-1) - 1);
  return rows_.size();
}

std::optional<std::size_t> RowSet::IndexOf(jet::RowPointer pointer) {
  Size();
  if (positions_.size() != rows_.size()) {
    positions_.clear();
    for (std::size_t i = 0; i < rows_.size(); ++i) positions_.emplace(rows_[i].ToU32(), i);
  }
  const auto found = positions_.find(pointer.ToU32());
  if (found == positions_.end()) return std::nullopt;
  return found->second;
}

std::optional<std::size_t> RowSet::NextLive(std::size_t index) {
  for (; Has(index); ++index) {
    if (!IsRemoved(index)) return index;
  }
  return std::nullopt;
}

std::optional<std::size_t> RowSet::PreviousLive(std::size_t index) {
  if (!Has(index)) return std::nullopt;
  for (;; --index) {
    if (!IsRemoved(index)) return index;
    if (index == 0) return std::nullopt;
  }
}

std::size_t RowSet::RemovedBefore(std::size_t index) const {
  return static_cast<std::size_t>(std::lower_bound(removedSorted_.begin(), removedSorted_.end(), index) -
                                  removedSorted_.begin());
}

std::size_t RowSet::LiveBefore(std::size_t index) const { return index - RemovedBefore(index); }

std::optional<std::size_t> RowSet::LiveAt(std::size_t position) {
  std::size_t index = position;
  for (const std::size_t removed : removedSorted_) {
    if (removed > index) break;
    ++index;
  }
  if (!Has(index)) return std::nullopt;
  return index;
}

void RowSet::Append(jet::RowPointer pointer) {
  Size();
  // The positions are kept up to date once IndexOf has built them.
  if (!positions_.empty() && positions_.size() == rows_.size()) positions_.emplace(pointer.ToU32(), rows_.size());
  rows_.push_back(pointer);
  // The set has been read to its end, so its count is exact now.
  visited_ = rows_.size();
}

void RowSet::Remove(jet::RowPointer pointer) {
  const std::optional<std::size_t> index = IndexOf(pointer);
  if (!index || IsRemoved(*index)) return;
  if (removed_.size() <= *index) removed_.resize(rows_.size(), false);
  removed_[*index] = true;
  removedSorted_.insert(std::lower_bound(removedSorted_.begin(), removedSorted_.end(), *index), *index);
  ++removedCount_;
}

}  // namespace dao
