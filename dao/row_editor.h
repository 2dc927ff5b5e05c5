// The copy buffer of a recordset's AddNew and Edit: the values given so far
// (converted and checked as they arrive, as DAO does), the defaults of a
// new row, and the write that Update makes of them.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dao/database_state.h"
#include "dao/jet/field_value.h"
#include "platform/variant.h"

namespace dao {

class RowEditor {
 public:
  explicit RowEditor(std::shared_ptr<TableSource> table) : table_(std::move(table)) {}

  // dbEditNone, dbEditInProgress (Edit) or dbEditAdd (AddNew).
  int Mode() const { return mode_; }
  // Starts a new row holding the default values of its fields (raises when
  // a default does not suit its field).
  void StartNew();
  // Starts changing the stored row at `row`.
  void StartEdit(jet::RowPointer row);
  // Ends AddNew or Edit without writing.
  void Cancel();
  // The row being changed by Edit.
  jet::RowPointer EditedRow() const { return edited_; }

  // Takes `value` for column `position`: DaoError 3020 outside AddNew and
  // Edit, 3164 for an AutoNumber column during Edit, 3421/3349 when it has
  // no meaning in the column's type, 3163 when it is too long.
  void Set(std::size_t position, const jet::ColumnDefinition& column, const platform::Variant& value);
  // The value column `position` was given (or its default), if any.
  const jet::FieldValue* Pending(std::size_t position) const;

  // Writes the buffer (AddNew: a new row, Edit: the changed columns) and
  // ends the mode; returns the row. Raises DaoError 3315 for a
  // zero-length text where the field does not allow one, and the engine's
  // errors (3314, 3022, 3058, ...): the file is then unchanged and the
  // buffer stays, so the caller may correct it and try again.
  jet::RowPointer Store();

 private:
  void Start(int mode);
  void LoadDefaults();
  void RequireZeroLengthAllowed(const jet::TableDefinition& definition);

  std::shared_ptr<TableSource> table_;
  // DefaultValue expressions by column position, read once per schema.
  std::vector<std::pair<std::size_t, std::string>> defaults_;
  std::optional<std::uint64_t> defaultsSchema_;
  int mode_ = 0;
  jet::RowPointer edited_;
  std::vector<std::optional<jet::FieldValue>> values_;
};

}  // namespace dao
