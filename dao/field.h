// DAO Field objects: the columns of a TableDef or of a Recordset (whose
// Value is the current row's), and the fields of an Index.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "dao/collection.h"
#include "dao/database_state.h"
#include "dao/property.h"
#include "platform/variant.h"

namespace dao {

// What a recordset field reads its value through; errors are left to the
// field to record.
class RowSource {
 public:
  virtual ~RowSource() = default;
  // The column's value in the current row.
  virtual platform::Variant ColumnValue(const jet::ColumnDefinition& column) = 0;
  // Memo and OLE columns: the stored size in bytes in the current row.
  virtual std::uint32_t ColumnSize(const jet::ColumnDefinition& column) = 0;
};

class Field {
 public:
  // Column `column` (a position in the table's definition) of `table`.
  // `updatable` tells whether the owner can change it. The fields of a
  // recordset read values from `rows` while `rowsAlive` holds true (the
  // recordset clears it when it goes away).
  Field(std::shared_ptr<TableSource> table, std::size_t column, bool updatable, RowSource* rows = nullptr,
        std::shared_ptr<const bool> rowsAlive = nullptr);
  // A field of an index: a name and whether its order is descending.
  Field(EngineLink engine, std::string name, bool descending);

  const std::string& Name() const { return name_; }
  // DAO type code (dbText, dbLong, ...).
  int Type() const;
  // Characters of text, bytes of the other types, 0 for memo and OLE.
  int Size() const;
  // dbFixedField / dbVariableField, dbAutoIncrField, dbUpdatableField,
  // dbHyperlinkField; dbDescending on index fields.
  int Attributes() const;
  // Position of the column in its table (0-based).
  int OrdinalPosition() const;
  // The stored Required property (false when none is stored).
  bool Required() const;
  // The stored AllowZeroLength property (false when none is stored).
  bool AllowZeroLength() const;
  // The default-value expression as text ("0", "\"abc\"", "=Now()"), or "".
  std::string DefaultValue() const;
  // The value in the current row of the recordset (Null for none). Raises
  // DaoError 3021 without a current row, 3167 when the row was deleted and
  // 3219 on a field that does not belong to a recordset.
  platform::Variant Value() const;
  // Memo and OLE fields of a recordset: size in bytes of the current value.
  std::int64_t FieldSize() const;
  // Built-in and stored properties ("Format", "Caption", ...).
  const PropertyCollection& Properties() const;

 private:
  const jet::ColumnDefinition& Column() const;
  RowSource& Rows() const;
  const platform::Variant* Stored(std::string_view name) const;
  void BuildProperties() const;

  EngineLink engine_;
  std::shared_ptr<TableSource> table_;
  std::size_t column_ = 0;
  const jet::ColumnDefinition* definition_ = nullptr;  // owned by table_
  bool updatable_ = false;
  RowSource* rows_ = nullptr;
  std::shared_ptr<const bool> rowsAlive_;
  std::string name_;
  bool descending_ = false;
  mutable std::optional<PropertyCollection> properties_;
};

using FieldCollection = Collection<Field>;

}  // namespace dao
