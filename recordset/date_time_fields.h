#pragma once

// Date and time fields. Values are platform::TDateTime (days since 30
// December 1899). Native forms: ftDate a 32-bit day number (1 January 0001 =
// day 1), ftTime 32-bit milliseconds since midnight, ftDateTime a double of
// day number * 86,400,000 + milliseconds.

#include <optional>
#include <string>

#include "platform/date_time.h"
#include "recordset/field.h"

namespace recordset {

class TDateTimeField : public TField {
 public:
  explicit TDateTimeField(std::string fieldName);

  std::optional<platform::TDateTime> Value() const;
  // Stores `value` (a date field keeps the date, a time field the time of day).
  void SetValue(platform::TDateTime value);
  // The FormatDateTime pattern of DisplayTextValue; empty: the short date
  // format, the long time format or both, by type.
  const std::string& DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(std::string pattern) { displayFormat_ = std::move(pattern); }

 protected:
  TDateTimeField(std::string fieldName, TFieldType dataType);

  std::string GetText(bool display) const override;
  void SetText(std::string_view text) override;
  Variant GetVariant() const override;
  void SetVariant(const Variant& value) override;

 private:
  std::string displayFormat_;
};

class TDateField : public TDateTimeField {
 public:
  explicit TDateField(std::string fieldName);
};

class TTimeField : public TDateTimeField {
 public:
  explicit TTimeField(std::string fieldName);
};

}  // namespace recordset
