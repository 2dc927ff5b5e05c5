#pragma once

// Field definitions: one TFieldDef per column, kept in column order in a
// TFieldDefs collection. A record-set fills its collection from the storage
// when it opens; a table manager fills one to create a table.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "recordset/field_type.h"

namespace recordset {

class TFieldDefs;

// The description of one column.
class TFieldDef {
 public:
  TFieldDef(const TFieldDef&) = delete;
  TFieldDef& operator=(const TFieldDef&) = delete;

  // Column name; unique within its collection regardless of letter case.
  const std::string& Name() const { return name_; }
  TFieldType DataType() const { return dataType_; }
  // Characters for text types, bytes for ftBytes/ftVarBytes, decimals for
  // ftBCD, 0 for fixed-size types.
  int Size() const { return size_; }
  // The column must have a value (the attribute faRequired).
  bool Required() const { return attributes_.Has(faRequired); }
  void SetRequired(bool required);
  // Digits of ftBCD columns; engines may keep a marker of their own here.
  int Precision() const { return precision_; }
  void SetPrecision(int precision);
  TFieldAttributes Attributes() const { return attributes_; }
  void SetAttributes(TFieldAttributes attributes);
  // 1-based position in the collection.
  int FieldNo() const { return fieldNo_; }

 private:
  friend class TFieldDefs;
  TFieldDef(TFieldDefs& owner, std::string name, TFieldType dataType, int size, int fieldNo);

  TFieldDefs& owner_;
  std::string name_;
  TFieldType dataType_;
  int size_;
  int precision_ = 0;
  TFieldAttributes attributes_;
  int fieldNo_;
};

// An ordered collection of field definitions.
class TFieldDefs {
 public:
  TFieldDefs() = default;
  TFieldDefs(const TFieldDefs&) = delete;
  TFieldDefs& operator=(const TFieldDefs&) = delete;

  // Appends a definition. Fails with "Feldname fehlt" for an empty name,
  // "Ungültige Feldgröße" for a negative size of a text or byte column or
  // one beyond kMaxTextFieldSize / kMaxVarBytesSize, and "Doppelter
  // Feldname '%s'" for a name already present (any case).
  TFieldDef& AddFieldDef(std::string name, TFieldType dataType, int size = 0,
                         bool required = false);
  // Removes every definition.
  void Clear();

  int Count() const { return static_cast<int>(defs_.size()); }
  bool Empty() const { return defs_.empty(); }
  // The definition at 0-based `index` (checked).
  const TFieldDef& operator[](int index) const;
  TFieldDef& operator[](int index);
  // The definition named `name` (any case), or nullptr.
  const TFieldDef* Find(std::string_view name) const;
  // 0-based index of `name` (any case), or -1.
  int IndexOf(std::string_view name) const;

  // Called after every change of the collection or of one of its
  // definitions (the owning record-set's FieldDefsChanged).
  void SetOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

 private:
  friend class TFieldDef;
  void Changed() const;

  std::vector<std::unique_ptr<TFieldDef>> defs_;
  std::function<void()> onChange_;
};

}  // namespace recordset
