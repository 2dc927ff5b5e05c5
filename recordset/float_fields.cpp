#include "recordset/float_fields.h"

#include <algorithm>

#include "platform/number_text.h"
#include "recordset/bcd_codec.h"
#include "recordset/database_error.h"
#include "recordset/messages.h"

namespace recordset {

namespace {

constexpr int kMinFloatPrecision = 2;
constexpr int kMaxFloatPrecision = 15;
// Digits of a BCD column whose precision was left at 0.
constexpr int kDefaultBcdPrecision = 32;

// Shared text rule of float and BCD fields: a format pattern when set, else
// the currency forms for currency fields, else `plain`.
template <typename PlainText>
std::string NumberText(double value, const std::string& pattern, bool currency, bool display,
                       PlainText plain) {
  if (!pattern.empty()) return platform::FormatFloat(pattern, value);
  if (currency) {
    return display ? platform::CurrencyToDisplayText(value) : platform::CurrencyToEditText(value);
  }
  return plain();
}

}  // namespace

TFloatField::TFloatField(std::string fieldName) : TFloatField(std::move(fieldName), ftFloat) {}

TFloatField::TFloatField(std::string fieldName, TFieldType dataType)
    : TNumericField(std::move(fieldName), dataType, 0) {}

std::optional<double> TFloatField::Value() const { return ReadNative<double>(); }

void TFloatField::SetValue(double value) {
  if ((minValue_ != 0 || maxValue_ != 0) && (value < minValue_ || value > maxValue_)) {
    RangeError(value, minValue_, maxValue_);
  }
  WriteNative(value);
}

void TFloatField::SetPrecision(int digits) {
  precision_ = std::clamp(digits, kMinFloatPrecision, kMaxFloatPrecision);
}

std::string TFloatField::GetText(bool display) const {
  const auto value = Value();
  if (!value) return {};
  return NumberText(*value, FormatFor(display), currency_, display,
                    [&] { return platform::FloatToStrGeneral(*value, precision_); });
}

void TFloatField::SetText(std::string_view text) {
  SetNumberText(
      text, messages::kInvalidFloatValue,
      [](std::string_view number) { return platform::TryParseFloat(number); },
      [this](double value) { SetValue(value); });
}

Variant TFloatField::GetVariant() const { return VariantOf(Value()); }

void TFloatField::SetVariant(const Variant& value) { SetValue(value.ToDouble()); }

TCurrencyField::TCurrencyField(std::string fieldName)
    : TFloatField(std::move(fieldName), ftCurrency) {
  SetCurrency(true);
}

TBCDField::TBCDField(std::string fieldName, int decimals)
    : TBCDField(std::move(fieldName), ftBCD, decimals) {}

TBCDField::TBCDField(std::string fieldName, TFieldType dataType, int decimals)
    : TNumericField(std::move(fieldName), dataType, decimals) {}

std::optional<platform::Currency> TBCDField::Value() const {
  BcdBytes bytes{};
  if (!GetData(bytes)) return std::nullopt;
  const auto value = BcdToCurrency(bytes);
  if (!value) DatabaseError(FillMessage(messages::kBcdOverflow, {DisplayName()}));
  return value;
}

void TBCDField::SetValue(platform::Currency value) {
  if ((minValue_.scaled != 0 || maxValue_.scaled != 0) && (value < minValue_ || value > maxValue_)) {
    RangeError(platform::CurrencyToDouble(value), platform::CurrencyToDouble(minValue_),
               platform::CurrencyToDouble(maxValue_));
  }
  const int digits = precision_ > 0 ? precision_ : kDefaultBcdPrecision;
  const auto bytes = CurrencyToBcd(value, digits, std::min(Size(), digits));
  if (!bytes) DatabaseError(FillMessage(messages::kBcdOverflow, {DisplayName()}));
  SetData(std::span<const std::byte>(*bytes));
}

std::string TBCDField::GetText(bool display) const {
  const auto value = Value();
  if (!value) return {};
  return NumberText(platform::CurrencyToDouble(*value), FormatFor(display), currency_, display,
                    [&] { return platform::CurrencyToText(*value); });
}

void TBCDField::SetText(std::string_view text) {
  SetNumberText(
      text, messages::kInvalidFloatValue,
      [this](std::string_view number) {
        const auto value = platform::TryParseCurrency(number);
        // A well-formed number beyond the 64-bit currency range is out of
        // range, not a syntax error.
        if (!value && platform::TryParseGroupedFloat(number)) {
          DatabaseError(FillMessage(messages::kBcdOverflow, {DisplayName()}));
        }
        return value;
      },
      [this](platform::Currency value) { SetValue(value); });
}

Variant TBCDField::GetVariant() const { return VariantOf(Value()); }

void TBCDField::SetVariant(const Variant& value) { SetValue(value.ToCurrency()); }

}  // namespace recordset
