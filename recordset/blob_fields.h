#pragma once

// Large-value fields: TBlobField (bytes; ftBlob and the other binary large
// types), TMemoField (UTF-8 text; ftMemo, ftFmtMemo) and TGraphicField.
// They have no native row-buffer form: values are read and written through
// the record-set's OpenLargeValueStream; GetFieldBytes answers only whether
// a value exists.

#include <optional>
#include <string>
#include <string_view>

#include "recordset/field.h"

namespace recordset {

class TBlobField : public TField {
 public:
  explicit TBlobField(std::string fieldName);
  // `dataType` is one of the large-value types.
  TBlobField(std::string fieldName, TFieldType dataType);

  // The bytes (or text) of the value, or nullopt for Null.
  std::optional<std::string> Value() const;
  // Replaces the value through a write stream.
  void SetValue(std::string_view bytes);

 protected:
  std::string GetText(bool display) const override;
  void SetText(std::string_view text) override;
  Variant GetVariant() const override;
  void SetVariant(const Variant& value) override;
  // Null is the empty value written through a stream.
  void StoreNull() override;
};

class TMemoField : public TBlobField {
 public:
  explicit TMemoField(std::string fieldName);
  TMemoField(std::string fieldName, TFieldType dataType);

 protected:
  Variant GetVariant() const override;
  void SetVariant(const Variant& value) override;
};

class TGraphicField : public TBlobField {
 public:
  explicit TGraphicField(std::string fieldName);
};

}  // namespace recordset
