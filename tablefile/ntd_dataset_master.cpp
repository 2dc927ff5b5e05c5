// TNtdDataset: the master-detail link. A detail shows the rows whose range
// fields hold the master's current values of the link fields, follows every
// move of the master, and gives its new rows those values.

#include "platform/name_list.h"
#include "tablefile/ntd_dataset.h"
#include "tablefile/ntd_master_link.h"
#include "tablefile/ntd_messages.h"

namespace tablefile {

recordset::TDataSource* TNtdDataset::LinkedSource() const { return masterLink_->DataSource(); }

recordset::TDataSource* TNtdDataset::MasterSource() const { return masterLink_->DataSource(); }

const std::string& TNtdDataset::MasterFields() const { return masterLink_->FieldNames(); }

void TNtdDataset::SetMasterSource(recordset::TDataSource* source) {
  if (source == masterLink_->DataSource()) return;
  if (source != nullptr && source->DataSet() != nullptr) {
    if (dynamic_cast<TNtdDataset*>(source->DataSet()) == nullptr) RaiseError(messages::kMasterNotNtd);
    // The master must not follow this dataset, directly or through others.
    std::vector<const recordset::TDataSet*> visited;
    for (const recordset::TDataSet* master = source->DataSet(); master != nullptr;) {
      if (master == this) RaiseError(messages::kCircularDataLink);
      if (std::find(visited.begin(), visited.end(), master) != visited.end()) break;
      visited.push_back(master);
      const recordset::TDataSource* linked = master->LinkedSource();
      master = linked != nullptr ? linked->DataSet() : nullptr;
    }
  }
  masterLink_->SetDataSource(source);
}

void TNtdDataset::SetMasterFields(std::string names) { masterLink_->SetFieldNames(std::move(names)); }

void TNtdDataset::SetRangeFieldNames(std::string names) {
  rangeFieldNames_ = std::move(names);
  if (!Active()) return;
  ResetKeyBuffer(KeyIndex::kRangeStart);
  ResetKeyBuffer(KeyIndex::kRangeEnd);
  if (MasterLinked()) MasterChanged();
}

bool TNtdDataset::MasterLinked() const { return masterLink_->Active() && !masterLink_->Fields().empty(); }

void TNtdDataset::MasterChanged() {
  CheckBrowseMode();
  if (MasterLinked()) {
    ApplyMasterRange();
  } else {
    CancelMasterRange();
  }
}

void TNtdDataset::SetMasterRangeKeys() {
  if (!StoreIsOpen()) RaiseError(messages::kClosedDataset);
  const std::string values = masterLink_->ValuesText();
  SetKeyFromText(KeyIndex::kRangeStart, values);
  SetKeyFromText(KeyIndex::kRangeEnd, values);
  rangeActive_ = true;
}

void TNtdDataset::ApplyMasterRange() {
  SetMasterRangeKeys();
  RebuildView(false);
  GoFirst();
}

void TNtdDataset::CancelMasterRange() {
  if (!StoreIsOpen()) RaiseError(messages::kClosedDataset);
  rangeActive_ = false;
  if (opened_) RebuildView(true);
}

void TNtdDataset::TakeMasterValues() {
  if (!MasterLinked()) return;
  const std::vector<recordset::TField*> details = FieldList(rangeFieldNames_);
  const std::vector<recordset::TField*>& masters = masterLink_->Fields();
  for (std::size_t i = 0; i < details.size() && i < masters.size(); ++i) {
    details[i]->SetVariantValue(masters[i]->VariantValue());
  }
}

}  // namespace tablefile
