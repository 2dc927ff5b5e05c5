#pragma once

// TAccessMasterLink: the link of a detail TAccessTable to its master's
// data source. It keeps the master's link fields and tells the detail when
// the master's row changes and when the link goes inactive. The master may
// be any record-set (an Access table, a table file, ...).

#include <string>
#include <vector>

#include "recordset/data_source.h"

namespace accessdb {

class TAccessTable;

class TAccessMasterLink : public recordset::TDataLink {
 public:
  explicit TAccessMasterLink(TAccessTable& detail) : detail_(detail) {}

  // The master's link fields, ";"-separated; they are looked up again.
  const std::string& FieldNames() const { return fieldNames_; }
  void SetFieldNames(std::string names);
  // The master's link fields while the link is active.
  const std::vector<recordset::TField*>& Fields() const { return fields_; }

 protected:
  void ActiveChanged() override;
  void DataSetChanged() override { RecordChanged(nullptr); }
  void RecordChanged(const recordset::TField* field) override;

 private:
  void LookUpFields();

  TAccessTable& detail_;
  std::string fieldNames_;
  std::vector<recordset::TField*> fields_;
};

}  // namespace accessdb
