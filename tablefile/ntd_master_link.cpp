#include "tablefile/ntd_master_link.h"

#include <algorithm>

#include "tablefile/ntd_dataset.h"

namespace tablefile {

void TNtdMasterLink::SetFieldNames(std::string names) {
  if (names == fieldNames_) return;
  fieldNames_ = std::move(names);
  ActiveChanged();
}

std::string TNtdMasterLink::ValuesText() const {
  std::string text;
  for (const recordset::TField* field : fields_) text += field->TextValue() + '\t';
  return text;
}

void TNtdMasterLink::ActiveChanged() {
  fields_.clear();
  if (Active()) fields_ = DataSet()->FieldList(fieldNames_);
  if (detail_.Active()) detail_.MasterChanged();
}

void TNtdMasterLink::RecordChanged(const recordset::TField* field) {
  // Entering a key moves nothing; a change of another field leaves the range.
  if (DataSet() == nullptr || DataSet()->State() == recordset::TDataSetState::KeyEntry) return;
  if (!detail_.Active() || fields_.empty()) return;
  if (field != nullptr && std::find(fields_.begin(), fields_.end(), field) == fields_.end()) return;
  detail_.MasterChanged();
}

}  // namespace tablefile
