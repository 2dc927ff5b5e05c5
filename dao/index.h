// DAO Index objects: the logical indexes of a table with their fields.
#pragma once

#include <memory>
#include <string>

#include "dao/collection.h"
#include "dao/database_state.h"
#include "dao/field.h"

namespace dao {

class Index {
 public:
  // Logical index `index` (a position in the definition's logical indexes).
  Index(const std::shared_ptr<TableSource>& table, std::size_t index);

  const std::string& Name() const { return name_; }
  // The table's primary key.
  bool Primary() const { return primary_; }
  // No two rows share a key.
  bool Unique() const { return unique_; }
  // The index of a relationship (foreign key).
  bool Foreign() const { return foreign_; }
  // Rows whose key columns are all Null get no entry.
  bool IgnoreNulls() const { return ignoreNulls_; }
  // Key columns must not be Null.
  bool Required() const { return required_; }
  // Number of distinct keys (the stored statistic).
  long DistinctCount() const { return distinctCount_; }
  // The key fields in key order; Attributes carry dbDescending.
  const FieldCollection& Fields() const { return fields_; }

 private:
  std::string name_;
  bool primary_ = false;
  bool unique_ = false;
  bool foreign_ = false;
  bool ignoreNulls_ = false;
  bool required_ = false;
  long distinctCount_ = 0;
  FieldCollection fields_;
};

using IndexCollection = Collection<Index>;

}  // namespace dao
