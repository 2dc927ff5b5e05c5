#pragma once
// TNtdMasterLink: the link of a detail table-file dataset to its master's
// data source. It keeps the master's link fields and tells the detail when
// the master moves, when a link field changes, and when the link comes and
// goes, so that the detail shows only the rows matching the master's row.

#include <string>
#include <vector>

#include "recordset/data_source.h"

namespace tablefile {

class TNtdDataset;

class TNtdMasterLink : public recordset::TDataLink {
 public:
  explicit TNtdMasterLink(TNtdDataset& detail) : detail_(detail) {}

  // The master's fields (";"-separated); a change looks them up again.
  const std::string& FieldNames() const { return fieldNames_; }
  void SetFieldNames(std::string names);
  // The master's link fields while the link is active.
  const std::vector<recordset::TField*>& Fields() const { return fields_; }
  // The master's current values of the link fields, each text followed by
  // a tab: the key of the detail's range.
  std::string ValuesText() const;

 protected:
  void ActiveChanged() override;
  void DataSetChanged() override { RecordChanged(nullptr); }
  void RecordChanged(const recordset::TField* field) override;

 private:
  TNtdDataset& detail_;
  std::string fieldNames_;
  std::vector<recordset::TField*> fields_;
};

}  // namespace tablefile
