#pragma once

// TBooleanField (ftBoolean): native form 16 bits, 0 false, anything else
// true (true is written as all bits set).

#include <optional>
#include <string>

#include "recordset/field.h"

namespace recordset {

class TBooleanField : public TField {
 public:
  explicit TBooleanField(std::string fieldName);

  std::optional<bool> Value() const;
  void SetValue(bool value);
  // "true text;false text" used for reading and writing texts
  // (default "True;False"). A written text matches either one when it is
  // the beginning of it, regardless of letter case.
  const std::string& DisplayValues() const { return displayValues_; }
  void SetDisplayValues(std::string values);

 protected:
  std::string GetText(bool display) const override;
  void SetText(std::string_view text) override;
  Variant GetVariant() const override;
  void SetVariant(const Variant& value) override;

 private:
  std::string displayValues_;
  std::string trueText_;
  std::string falseText_;
};

}  // namespace recordset
