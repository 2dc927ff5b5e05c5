// DAO TableDef objects: a stored table with its fields, indexes and
// properties, or a new table being described (Database::CreateTableDef)
// until TableDefs.Append creates it. The definition of a stored table is
// read from the file when first needed, so listing the tables of a
// database never fails on one damaged table.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "dao/collection.h"
#include "dao/database_state.h"
#include "dao/field.h"
#include "dao/index.h"
#include "dao/property.h"
#include "platform/variant.h"

namespace dao {

class TableDef {
 public:
  // The stored table `table`.
  explicit TableDef(std::shared_ptr<TableSource> table);
  // A new table `name` of the database `database`, not yet appended.
  TableDef(DatabaseLink database, std::string name);
  TableDef(const TableDef&) = delete;
  TableDef& operator=(const TableDef&) = delete;

  const std::string& Name() const { return table_ ? table_->Entry().name : name_; }
  // Renames a new table (DaoError 3219 once it is appended).
  void SetName(const std::string& name);
  // dbSystemObject for the tables of the engine and of Access,
  // dbHiddenObject for hidden ones, dbAttachedTable/dbAttachedODBC for links.
  int Attributes() const;
  // Creation and last change as dates (Null before the table is appended).
  platform::Variant DateCreated() const;
  platform::Variant LastUpdated() const;
  // Rows in the table (the count the file keeps; 0 before it is appended).
  long RecordCount() const;
  // True when the database is writable and the table is not a system table.
  bool Updatable() const;
  // Columns in table order (ascending column number). A new table takes
  // field descriptions: DaoError 3191 for a second field of one name, 3259
  // for a field without a type. A stored table takes a new field too (rows
  // stored before hold Null in it; DaoError 3314 when it is Required and
  // rows exist, 3251 for an AutoNumber when rows exist); its fields cannot
  // be deleted (DaoError 3251).
  FieldCollection& Fields();
  const FieldCollection& Fields() const;
  // The table's indexes. Appending checks the index (DaoError 3264 without
  // fields, 3284 for a name in use, 3283 for a second primary key); on a
  // stored table it builds the index over the existing rows (3022 when a
  // unique index meets duplicate keys, leaving the table as it was).
  IndexCollection& Indexes();
  const IndexCollection& Indexes() const;
  // Stored table properties ("Description", "OrderBy", ...) and the
  // built-in ones, as they stand after the latest change.
  const PropertyCollection& Properties() const;

  // A field description for Fields.Append (or an index's Fields.Append):
  // DaoError 3259 when `type` is no type a Jet table can hold.
  std::shared_ptr<Field> CreateField(const std::string& name = "", int type = 0, int size = 0) const;
  // A new index for Indexes.Append.
  std::shared_ptr<Index> CreateIndex(const std::string& name = "") const;

  // The database the table belongs to.
  const DatabaseLink& Database() const { return database_; }
  // The table behind this object (nullptr before it is appended).
  const std::shared_ptr<TableSource>& Source() const { return table_; }
  // For the Database: binds a new table to the stored `table` once
  // TableDefs.Append has created it.
  void Bind(std::shared_ptr<TableSource> table);

 private:
  template <class Action>
  auto Run(Action&& action) const -> decltype(action());
  EngineState& Engine() const { return *engine_; }
  void SetDraftHandlers();
  void SetStoredHandlers();
  void AppendStoredField(const std::shared_ptr<Field>& field);
  void LoadIndexes() const;

  EngineLink engine_;
  DatabaseLink database_;
  std::string name_;  // of a new table
  std::shared_ptr<TableSource> table_;
  mutable std::optional<FieldCollection> fields_;
  mutable std::optional<IndexCollection> indexes_;
  mutable std::uint64_t indexesGeneration_ = 0;  // statistics change with the rows
  mutable std::optional<PropertyCollection> properties_;
  mutable std::uint64_t propertiesGeneration_ = 0;
};

using TableDefCollection = Collection<TableDef>;

}  // namespace dao
