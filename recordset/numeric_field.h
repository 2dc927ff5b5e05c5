#pragma once

// The common part of numeric fields: display and edit format patterns
// (platform::FormatFloat patterns such as "0.######"; empty by default) and
// right alignment.

#include <string>
#include <string_view>

#include "recordset/field.h"

namespace recordset {

class TNumericField : public TField {
 public:
  // The pattern of DisplayTextValue; empty: the type's plain form.
  const std::string& DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(std::string pattern) { displayFormat_ = std::move(pattern); }
  // The pattern of TextValue; empty: the display format.
  const std::string& EditFormat() const { return editFormat_; }
  void SetEditFormat(std::string pattern) { editFormat_ = std::move(pattern); }

 protected:
  TNumericField(std::string fieldName, TFieldType dataType, int size);

  // The pattern for a text read: display or edit, as described above.
  const std::string& FormatFor(bool display) const;

  // The text rule of numbers: the empty text makes the value Null; any
  // other text must `parse` (else the error `invalidPattern`) and is stored
  // by `store`.
  template <typename Parse, typename Store>
  void SetNumberText(std::string_view text, std::string_view invalidPattern, Parse parse,
                     Store store) {
    if (text.empty()) {
      StoreNull();
      return;
    }
    const auto value = parse(text);
    if (!value) InvalidText(invalidPattern, text);
    store(*value);
  }

 private:
  std::string displayFormat_;
  std::string editFormat_;
};

}  // namespace recordset
