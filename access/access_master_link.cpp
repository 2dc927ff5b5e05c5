#include "access/access_master_link.h"

#include <algorithm>

#include "access/access_table.h"
#include "platform/name_list.h"

namespace accessdb {

void TAccessMasterLink::SetFieldNames(std::string names) {
  if (names == fieldNames_) return;
  fieldNames_ = std::move(names);
  LookUpFields();
}

void TAccessMasterLink::LookUpFields() {
  fields_.clear();
  if (!Active() || DataSet() == nullptr) return;
  // A name the master lacks leaves the link without fields; the detail
  // names it when it builds its condition.
  std::vector<recordset::TField*> fields;
  for (const std::string_view name : platform::SplitNameList(fieldNames_)) {
    recordset::TField* field = DataSet()->FindField(name);
    if (field == nullptr) return;
    fields.push_back(field);
  }
  fields_ = std::move(fields);
}

void TAccessMasterLink::ActiveChanged() {
  LookUpFields();
  if (Active()) {
    detail_.MasterChanged();
  } else {
    detail_.MasterDisabled();
  }
}

void TAccessMasterLink::RecordChanged(const recordset::TField* field) {
  // Entering a search key moves nothing; a change of another field keeps
  // the same detail rows.
  if (DataSet() == nullptr || DataSet()->State() == recordset::TDataSetState::KeyEntry) return;
  if (field != nullptr && std::find(fields_.begin(), fields_.end(), field) == fields_.end()) return;
  detail_.MasterChanged();
}

}  // namespace accessdb
