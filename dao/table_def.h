// DAO TableDef objects: a stored table with its fields, indexes and
// properties. The definition is read from the file when first needed, so
// listing the tables of a database never fails on one damaged table.
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
  explicit TableDef(std::shared_ptr<TableSource> table);

  const std::string& Name() const { return table_->Entry().name; }
  // dbSystemObject for the tables of the engine and of Access,
  // dbHiddenObject for hidden ones, dbAttachedTable/dbAttachedODBC for links.
  int Attributes() const;
  // Creation and last change as dates.
  platform::Variant DateCreated() const;
  platform::Variant LastUpdated() const;
  // Rows in the table (the count the file keeps).
  long RecordCount() const;
  // True when the database is writable and the table is not a system table.
  bool Updatable() const;
  // Columns in table order (ascending column number).
  const FieldCollection& Fields() const;
  const IndexCollection& Indexes() const;
  // Stored table properties ("Description", "OrderBy", ...) and the
  // built-in ones.
  const PropertyCollection& Properties() const;

  // The table behind this object (for OpenRecordset).
  const std::shared_ptr<TableSource>& Source() const { return table_; }

 private:
  std::shared_ptr<TableSource> table_;
  mutable std::optional<FieldCollection> fields_;
  mutable std::optional<IndexCollection> indexes_;
  mutable std::optional<PropertyCollection> properties_;
};

using TableDefCollection = Collection<TableDef>;

}  // namespace dao
