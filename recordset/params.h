#pragma once

// Named parameters of an SQL text: TParam (a name, a field type, a value
// that may be Null) and the ordered collection TParams. The names are
// found in the text as ":" followed by a name; a record-set that opens SQL
// puts the values into the text before the engine sees it.

#include <string>
#include <string_view>
#include <vector>

#include "recordset/field.h"
#include "recordset/field_type.h"

namespace recordset {

class TParam {
 public:
  explicit TParam(std::string name) : name_(std::move(name)) {}

  const std::string& Name() const { return name_; }
  // The type the value is given to the SQL text as; ftUnknown until set.
  TFieldType DataType() const { return dataType_; }
  void SetDataType(TFieldType type) { dataType_ = type; }
  const Variant& Value() const { return value_; }
  void SetValue(Variant value) { value_ = std::move(value); }
  // No value (Null or never set).
  bool IsNull() const { return value_.IsNull() || value_.IsEmpty(); }
  void Clear() { value_ = Variant::Null(); }

  friend bool operator==(const TParam& a, const TParam& b);

 private:
  std::string name_;
  TFieldType dataType_ = ftUnknown;
  Variant value_ = Variant::Null();
};

class TParams {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }
  TParam& operator[](int index) { return items_.at(static_cast<std::size_t>(index)); }
  const TParam& operator[](int index) const { return items_.at(static_cast<std::size_t>(index)); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }
  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }

  // The parameter named `name` regardless of letter case, or nullptr.
  TParam* FindParam(std::string_view name);
  const TParam* FindParam(std::string_view name) const;
  // Adds a parameter (Null, ftUnknown) at the end.
  TParam& Add(std::string name);
  void Clear() { items_.clear(); }
  // Every parameter of `other` whose name is here gives this one its type
  // and value; the others stay as they are.
  void AssignValues(const TParams& other);
  // Replaces the list by the parameters named in `sql` (ParseSqlParamNames),
  // in the order of their first use; those that were here before keep their
  // types and values.
  void ParseSQL(std::string_view sql);

  // The collection as a text that does not depend on the user's locale,
  // and back: names, types and values survive the round trip. Reading a
  // text this program did not write raises std::invalid_argument and
  // leaves the collection as it was.
  std::string SaveToText() const;
  void LoadFromText(std::string_view text);

  friend bool operator==(const TParams& a, const TParams& b) = default;

 private:
  std::vector<TParam> items_;
};

// The parameter names of an SQL text, each once (the first spelling), in
// order: ":" followed by a letter, "_" or a non-ASCII character, then any
// of these and digits. Text inside '...', "..." and [...] is no SQL code and
// is passed over, and "::" is a colon, not the start of a name.
std::vector<std::string> ParseSqlParamNames(std::string_view sql);

}  // namespace recordset
