// DAO Index objects: the logical indexes of a table with their fields, and
// new indexes described with TableDef::CreateIndex before they are
// appended.
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
  // A new index `name`, to be described and appended to a TableDef's
  // Indexes.
  Index(EngineLink engine, std::string name);
  Index(const Index&) = delete;
  Index& operator=(const Index&) = delete;

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
  // The key fields in key order; Attributes carry dbDescending. Appending
  // to a new index takes any Field description (only its name and
  // dbDescending count); DaoError 3367 for a field named twice.
  FieldCollection& Fields() { return fields_; }
  const FieldCollection& Fields() const { return fields_; }

  // The settings of a new index; DaoError 3219 once it is appended. A
  // primary key is also unique and required.
  void SetName(const std::string& name);
  void SetPrimary(bool primary);
  void SetUnique(bool unique);
  void SetIgnoreNulls(bool ignoreNulls);
  void SetRequired(bool required);
  // A field description `name` for Fields.Append (`type` and `size` are
  // accepted as DAO does and ignored).
  std::shared_ptr<Field> CreateField(const std::string& name, int type = 0, int size = 0) const;

  // For the owning TableDef: whether the index is stored, and marking it
  // so once its table has it.
  bool IsAppended() const { return appended_; }
  void MarkAppended();

 private:
  template <class Action>
  void Change(Action&& action);

  EngineLink engine_;
  std::string name_;
  bool primary_ = false;
  bool unique_ = false;
  bool foreign_ = false;
  bool ignoreNulls_ = false;
  bool required_ = false;
  long distinctCount_ = 0;
  bool appended_ = false;
  FieldCollection fields_;
};

using IndexCollection = Collection<Index>;

}  // namespace dao
