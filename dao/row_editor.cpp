#include "dao/row_editor.h"

#include "dao/constants.h"
#include "dao/default_value.h"
#include "dao/field_value_conversion.h"
#include "dao/jet/value_encoder.h"
#include "platform/text_case.h"

namespace dao {
namespace {

constexpr const char* kSource = "DAO.Recordset";

bool StoredFlag(const std::vector<jet::StoredProperty>& properties, std::string_view name) {
  for (const jet::StoredProperty& property : properties) {
    if (platform::AnsiSameText(property.name, name)) return !property.value.IsNull() && property.value.ToBoolean();
  }
  return false;
}

// A text needs no more characters (Jet 4) or code-page bytes (Jet 3) than
// it has UTF-8 bytes, so a short one fits without being encoded; fixed-size
// values always fit.
bool FitsWithoutEncoding(const jet::ColumnDefinition& column, const jet::FieldValue& value, const jet::Layout& layout) {
  switch (column.Type()) {
    case jet::ColumnType::kText: return value.text.size() <= (layout.IsJet4() ? column.length / 2u : column.length);
    case jet::ColumnType::kBinary: return value.bytes.size() <= column.length;
    default: return jet::FixedTypeSize(column.Type()) != 0;
  }
}

}  // namespace

void RowEditor::Start(int mode) {
  mode_ = mode;
  values_.assign(table_->Definition(kSource).columns.size(), std::nullopt);
}

void RowEditor::LoadDefaults() {
  const std::uint64_t schema = table_->Database()->SchemaGeneration();
  if (defaultsSchema_ == schema) return;
  defaults_.clear();
  const jet::TableDefinition& definition = table_->Definition(kSource);
  const jet::PropertyBlob& properties = table_->Properties(kSource);
  for (std::size_t i = 0; i < definition.columns.size() && !properties.groups.empty(); ++i) {
    for (const jet::StoredProperty& property : properties.ColumnProperties(definition.columns[i].name)) {
      if (platform::AnsiSameText(property.name, "DefaultValue") && !property.value.IsNull())
        defaults_.emplace_back(i, property.value.ToText());
    }
  }
  defaultsSchema_ = schema;
}

void RowEditor::StartNew() {
  LoadDefaults();
  Start(dbEditAdd);
  const jet::TableDefinition& definition = table_->Definition(kSource);
  for (const auto& [position, expression] : defaults_) {
    // Evaluated for each row: Now() and Date() move on.
    const platform::Variant value = EvaluateDefaultValue(expression);
    if (!value.IsNull()) values_[position] = ToFieldValue(definition.columns[position], value);
  }
}

void RowEditor::StartEdit(jet::RowPointer row) {
  Start(dbEditInProgress);
  edited_ = row;
}

void RowEditor::Cancel() {
  mode_ = dbEditNone;
  values_.clear();
}

void RowEditor::Set(std::size_t position, const jet::ColumnDefinition& column, const platform::Variant& value) {
  if (mode_ == dbEditNone) Raise(jet::kErrUpdateWithoutEdit, kSource, "Update or CancelUpdate without AddNew or Edit.");
  // The engine numbers new rows; a number given for a new row is kept (as
  // an INSERT with a value would), an existing row keeps its number.
  if (column.IsAutoNumber() && mode_ == dbEditInProgress) {
    Raise(jet::kErrFieldNotUpdatable, kSource, "Field cannot be updated.");
  }
  jet::FieldValue converted = ToFieldValue(column, value);
  if (!converted.null && !column.IsLongValue() && column.Type() != jet::ColumnType::kBoolean &&
      !FitsWithoutEncoding(column, converted, table_->Database()->Jet(kSource).GetLayout())) {
    (void)jet::EncodeValue(column, converted, table_->Database()->Jet(kSource).Codec());  // 3163 now, as DAO
  }
  values_.at(position) = std::move(converted);
}

const jet::FieldValue* RowEditor::Pending(std::size_t position) const {
  return position < values_.size() && values_[position] ? &*values_[position] : nullptr;
}

void RowEditor::RequireZeroLengthAllowed(const jet::TableDefinition& definition) {
  const jet::PropertyBlob* properties = nullptr;
  for (std::size_t i = 0; i < values_.size(); ++i) {
    const jet::ColumnDefinition& column = definition.columns[i];
    if (!values_[i] || values_[i]->null || !values_[i]->text.empty()) continue;
    if (column.Type() != jet::ColumnType::kText && column.Type() != jet::ColumnType::kMemo) continue;
    if (properties == nullptr) properties = &table_->Properties(kSource);
    if (!StoredFlag(properties->ColumnProperties(column.name), "AllowZeroLength")) {
      Raise(jet::kErrZeroLengthString, kSource, "Field '" + column.name + "' cannot be a zero-length string.");
    }
  }
}

jet::RowPointer RowEditor::Store() {
  if (mode_ == dbEditNone) Raise(jet::kErrUpdateWithoutEdit, kSource, "Update or CancelUpdate without AddNew or Edit.");
  const jet::TableDefinition& definition = table_->Definition(kSource);
  RequireZeroLengthAllowed(definition);
  const std::uint32_t id = table_->Id();
  jet::RowPointer stored = edited_;
  table_->Database()->Write(kSource, [&](jet::DatabaseWriter& writer) {
    jet::TableWriter& table = writer.Table(id);
    if (table.Definition().columns.size() != values_.size()) jet::ThrowDamaged("the table changed while it was edited");
    if (mode_ == dbEditAdd) {
      // The values move into the row and back when the insert fails (the
      // engine restores them then).
      std::vector<jet::FieldValue> row(values_.size());
      for (std::size_t i = 0; i < row.size(); ++i) {
        if (values_[i]) row[i] = std::move(*values_[i]);
      }
      try {
        stored = table.Insert(row);
      } catch (...) {
        for (std::size_t i = 0; i < row.size(); ++i) {
          if (values_[i]) *values_[i] = std::move(row[i]);
        }
        throw;
      }
    } else {
      table.Update(edited_, values_);
    }
  });
  table_->Database()->RowsChanged(id);
  Cancel();
  return stored;
}

}  // namespace dao
