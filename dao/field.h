// DAO Field objects: the columns of a TableDef or of a Recordset (whose
// Value is the current row's), and field descriptions not bound to a
// stored column: the fields of a new table before it is appended and the
// fields of an Index.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dao/collection.h"
#include "dao/database_state.h"
#include "dao/property.h"
#include "platform/variant.h"

namespace dao {

// What a recordset field reads and writes its value through; errors are
// left to the field to record. `position` is the column's place in the
// table definition.
class RowSource {
 public:
  virtual ~RowSource() = default;
  // The column's value in the current row (or in the copy buffer during
  // AddNew and Edit).
  virtual platform::Variant ColumnValue(std::size_t position, const jet::ColumnDefinition& column) = 0;
  // Memo and OLE columns: the stored size in bytes in the current row.
  virtual std::uint32_t ColumnSize(std::size_t position, const jet::ColumnDefinition& column) = 0;
  // Puts `value` into the copy buffer of AddNew or Edit.
  virtual void SetColumnValue(std::size_t position, const jet::ColumnDefinition& column,
                              const platform::Variant& value) = 0;
};

// The settings of a field that is not bound to a stored column.
struct FieldDraft {
  int type = 0;        // DAO type code; 0 until set
  int size = 0;        // 0: the type's size (text and binary: 255)
  int attributes = 0;  // dbAutoIncrField, dbHyperlinkField; dbDescending on index fields
  bool required = false;
  bool allowZeroLength = false;
  std::string defaultValue;
  // Properties appended with CreateProperty, stored when the table is made.
  std::vector<jet::StoredProperty> custom;
};

class Field {
 public:
  // Column `column` (a position in the table's definition) of `table`.
  // `updatable` tells whether the owner can change it. The fields of a
  // recordset read values from `rows` while `rowsAlive` holds true (the
  // recordset clears it when it goes away).
  Field(std::shared_ptr<TableSource> table, std::size_t column, bool updatable, RowSource* rows = nullptr,
        std::shared_ptr<const bool> rowsAlive = nullptr);
  // Output column `position` of a query recordset: `shape` describes its
  // type and size (its column's name is the field's name). A field that
  // shows a stored column names its table and column in `sourceTable`
  // (nullptr for a computed field) and `sourceField`.
  Field(DatabaseLink database, std::shared_ptr<const jet::TableDefinition> shape, std::size_t position,
        std::shared_ptr<TableSource> sourceTable, std::string sourceField, bool updatable, RowSource* rows,
        std::shared_ptr<const bool> rowsAlive);
  // A field description (TableDef::CreateField, Index::CreateField, the
  // fields of a stored index): `type` a DAO type code (DaoError 3259 when a
  // Jet table cannot hold it), `size` characters or bytes.
  Field(EngineLink engine, std::string name, int type = 0, int size = 0, int attributes = 0);
  Field(const Field&) = delete;
  Field& operator=(const Field&) = delete;

  const std::string& Name() const { return name_; }
  // Changes the name of a description not yet appended (DaoError 3219
  // otherwise).
  void SetName(const std::string& name);
  // DAO type code (dbText, dbLong, ...).
  int Type() const;
  void SetType(int type);
  // Characters of text, bytes of the other types, 0 for memo and OLE.
  int Size() const;
  void SetSize(int size);
  // dbFixedField / dbVariableField, dbAutoIncrField, dbUpdatableField,
  // dbHyperlinkField; dbDescending on index fields.
  int Attributes() const;
  // Descriptions only: dbAutoIncrField (Long fields), dbHyperlinkField
  // (Memo fields), dbDescending (index fields); the fixed/variable and
  // updatable flags follow from the type and are accepted as they are.
  void SetAttributes(int attributes);
  // Position of the column in its table (0-based).
  int OrdinalPosition() const;
  // The Required property (false when none is stored).
  bool Required() const;
  // On a stored table's field the property is stored at once; DaoError
  // 3314 when rows already hold Null in the field.
  void SetRequired(bool required);
  // The AllowZeroLength property (false when none is stored).
  bool AllowZeroLength() const;
  void SetAllowZeroLength(bool allow);
  // The default-value expression as text ("0", "\"abc\"", "=Now()"), or "".
  std::string DefaultValue() const;
  void SetDefaultValue(const std::string& expression);
  // The value in the current row of the recordset (Null for none). Raises
  // DaoError 3021 without a current row, 3167 when the row was deleted and
  // 3219 on a field that does not belong to a recordset.
  platform::Variant Value() const;
  // Puts `value` into the copy buffer of the recordset's AddNew or Edit,
  // converted as DAO converts it: DaoError 3020 without AddNew or Edit,
  // 3421 or 3349 when the value has no meaning in the field's type, 3163
  // when it is too long, 3164 for an AutoNumber field during Edit, 3027 on
  // a recordset that cannot be updated.
  void SetValue(const platform::Variant& value);
  // Memo and OLE fields of a recordset: size in bytes of the current value.
  std::int64_t FieldSize() const;
  // Built-in and stored properties ("Format", "Caption", ...). Appending a
  // property made by CreateProperty stores it (on a description: when its
  // table is appended); DaoError 3367 when one of that name exists.
  PropertyCollection& Properties();
  const PropertyCollection& Properties() const;
  // A new property `name` of DAO type `type` with `value`, to be appended
  // to Properties.
  std::shared_ptr<Property> CreateProperty(const std::string& name, int type, const platform::Variant& value) const;

  // For the owning objects.
  // Whether this is a description not bound to a stored column.
  bool IsDraft() const { return draft_ != nullptr; }
  const FieldDraft& Draft() const { return *draft_; }
  // Fixes a description whose owner was appended: its settings no longer
  // change.
  void Lock() { locked_ = true; }
  // Binds a description to column `column` of the stored `table` (after
  // its table was appended).
  void Bind(std::shared_ptr<TableSource> table, std::size_t column, bool updatable);

 private:
  template <class Action>
  auto Run(Action&& action) const -> decltype(action());
  const jet::ColumnDefinition& Column() const { return definition_->columns[column_]; }
  RowSource& Rows() const;
  const platform::Variant* Stored(std::string_view name) const;
  void RequireChangeableDraft() const;
  // Yes/No properties kept in the draft or stored in the catalog.
  bool Flag(bool FieldDraft::*member, const char* property) const;
  void SetFlag(bool FieldDraft::*member, const char* property, bool value);
  void StoreProperty(jet::StoredProperty property);
  void BuildProperties() const;

  EngineLink engine_;
  std::string name_;
  DatabaseLink database_;  // null for descriptions
  // A stored column (and, for a recordset field, its rows)...
  std::shared_ptr<TableSource> table_;
  std::string sourceField_;  // the stored column's name
  bool queryField_ = false;
  std::size_t column_ = 0;
  std::shared_ptr<const jet::TableDefinition> definition_;
  bool updatable_ = false;
  RowSource* rows_ = nullptr;
  std::shared_ptr<const bool> rowsAlive_;
  // ... or a description.
  std::unique_ptr<FieldDraft> draft_;
  bool locked_ = false;
  mutable std::optional<PropertyCollection> properties_;
  mutable std::uint64_t propertiesSchema_ = 0;
};

using FieldCollection = Collection<Field>;

}  // namespace dao
