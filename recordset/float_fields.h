#pragma once

// Floating-point and decimal fields: TFloatField (ftFloat, a double),
// TCurrencyField (a double shown as money) and TBCDField (a packed decimal
// kept as a 4-decimal currency value).

#include <optional>

#include "platform/currency.h"
#include "recordset/numeric_field.h"

namespace recordset {

class TFloatField : public TNumericField {
 public:
  explicit TFloatField(std::string fieldName);

  std::optional<double> Value() const;
  // Stores `value`; checked against the minimum and maximum only when
  // either is set.
  void SetValue(double value);
  // Significant digits of the plain text (2..15, default 15).
  int Precision() const { return precision_; }
  void SetPrecision(int digits);
  // Shown in the currency format, edited in the fixed format with the
  // locale's currency decimals.
  bool Currency() const { return currency_; }
  void SetCurrency(bool currency) { currency_ = currency; }
  double MinValue() const { return minValue_; }
  void SetMinValue(double value) { minValue_ = value; }
  double MaxValue() const { return maxValue_; }
  void SetMaxValue(double value) { maxValue_ = value; }

 protected:
  TFloatField(std::string fieldName, TFieldType dataType);

  std::string GetText(bool display) const override;
  void SetText(std::string_view text) override;
  Variant GetVariant() const override;
  void SetVariant(const Variant& value) override;

 private:
  int precision_ = 15;
  bool currency_ = false;
  double minValue_ = 0;
  double maxValue_ = 0;
};

class TCurrencyField : public TFloatField {
 public:
  explicit TCurrencyField(std::string fieldName);
};

// Size is the number of decimals and Precision the number of digits of the
// column; the value is a 64-bit currency with four decimals. A stored
// decimal that does not fit, or a value the column cannot hold, fails with
// "Wert des Feldes '%s' ist außerhalb des zulässigen Bereichs".
class TBCDField : public TNumericField {
 public:
  explicit TBCDField(std::string fieldName, int decimals = 4);
  // `dataType` is ftBCD or ftFMTBcd (the same native form).
  TBCDField(std::string fieldName, TFieldType dataType, int decimals);

  std::optional<platform::Currency> Value() const;
  void SetValue(platform::Currency value);
  // Digits of the column (1..32; 0 means 32).
  int Precision() const { return precision_; }
  void SetPrecision(int digits) { precision_ = digits; }
  bool Currency() const { return currency_; }
  void SetCurrency(bool currency) { currency_ = currency; }
  // Limits of the value; both 0 means no limit beyond the column's.
  platform::Currency MinValue() const { return minValue_; }
  void SetMinValue(platform::Currency value) { minValue_ = value; }
  platform::Currency MaxValue() const { return maxValue_; }
  void SetMaxValue(platform::Currency value) { maxValue_ = value; }

 protected:
  std::string GetText(bool display) const override;
  void SetText(std::string_view text) override;
  Variant GetVariant() const override;
  void SetVariant(const Variant& value) override;

 private:
  int precision_ = 0;
  bool currency_ = false;
  platform::Currency minValue_;
  platform::Currency maxValue_;
};

}  // namespace recordset
