#include "dao/row_set.h"

namespace dao {
namespace {

constexpr const char* kSource = "DAO.Recordset";

}  // namespace

RowSet::RowSet(std::shared_ptr<TableSource> table, bool empty)
    : table_(std::move(table)), definition_(table_->SharedDefinition(kSource)) {
  if (!empty) {
    jet::JetDatabase& jet = table_->Database()->Jet(kSource);
    scanner_.emplace(jet.Pages(), jet.GetLayout(), *definition_);
  }
}

bool RowSet::Has(std::size_t index) {
  if (rows_.size() <= index && scanner_) table_->Database()->Jet(kSource);  // raises once closed
  while (rows_.size() <= index && scanner_) {
    if (scanner_->Next()) {
      rows_.push_back(scanner_->Location());
    } else {
      scanner_.reset();
    }
  }
  return index < rows_.size();
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

}  // namespace dao
