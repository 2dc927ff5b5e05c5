#pragma once

// TDBEdit: a data-bound edit without a window. It shows the display text of
// one field of its data source's active row, keeps the text a caller sets,
// remembers whether that text was changed since the row was shown, and
// writes a changed text into its field (through TextValue) when the row is
// posted or the browse-mode rule applies. The converter's hidden edits are
// these.

#include <memory>
#include <string>

#include "recordset/data_source.h"

namespace recordset {

class TDBEdit {
 public:
  explicit TDBEdit(std::string name = {});
  ~TDBEdit();
  TDBEdit(const TDBEdit&) = delete;
  TDBEdit& operator=(const TDBEdit&) = delete;

  // The control name; it prefixes the field-not-found error.
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }

  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* source);

  // The name of the field shown ("" for none). While the record-set is open
  // the field is looked up at once (any case); a missing one fails with
  // "Das Feld '%s' wurde nicht gefunden" prefixed with Name().
  const std::string& DataField() const { return dataField_; }
  void SetDataField(std::string fieldName);
  // The bound field, or nullptr (no name, or the record-set is closed).
  TField* Field() const { return field_; }

  // The text shown: the field's display text of the active row after every
  // move ("" for Null and without a field), or what a caller set since.
  const std::string& Text() const { return text_; }
  // Sets the text; a text different from the shown one marks the edit modified.
  void SetText(std::string text);
  // The text was changed since the row was shown.
  bool Modified() const { return modified_; }

 private:
  class Link;

  void UpdateField();
  void ShowFieldText();
  void WriteFieldText();

  std::string name_;
  std::string dataField_;
  TField* field_ = nullptr;
  std::string text_;
  bool modified_ = false;
  std::unique_ptr<Link> link_;
};

}  // namespace recordset
