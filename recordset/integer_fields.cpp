#include "recordset/integer_fields.h"

#include <limits>

#include "platform/number_text.h"
#include "recordset/messages.h"

namespace recordset {

namespace {

using Int32Limits = std::numeric_limits<std::int32_t>;

std::string IntegerText(std::int64_t value, const std::string& pattern) {
  if (pattern.empty()) return std::to_string(value);
  return platform::FormatFloat(pattern, static_cast<double>(value));
}

}  // namespace

TIntegerField::TIntegerField(std::string fieldName)
    : TIntegerField(std::move(fieldName), ftInteger, Int32Limits::min(), Int32Limits::max()) {}

TIntegerField::TIntegerField(std::string fieldName, TFieldType dataType, std::int32_t minRange,
                             std::int32_t maxRange)
    : TNumericField(std::move(fieldName), dataType, 0), minRange_(minRange), maxRange_(maxRange) {}

std::optional<std::int32_t> TIntegerField::Value() const {
  switch (DataType()) {
    case ftSmallint:
      if (auto value = ReadNative<std::int16_t>()) return *value;
      return std::nullopt;
    case ftWord:
      if (auto value = ReadNative<std::uint16_t>()) return *value;
      return std::nullopt;
    default:
      return ReadNative<std::int32_t>();
  }
}

void TIntegerField::SetValue(std::int32_t value) {
  if (minValue_ != 0 || maxValue_ != 0) {
    if (value < minValue_ || value > maxValue_) RangeError(value, minValue_, maxValue_);
  }
  // Limits wider than the type must not let a value wrap around in the
  // 16-bit native forms, so the type's range is checked in any case.
  if (value < minRange_ || value > maxRange_) RangeError(value, minRange_, maxRange_);
  switch (DataType()) {
    case ftSmallint:
      WriteNative(static_cast<std::int16_t>(value));
      break;
    case ftWord:
      WriteNative(static_cast<std::uint16_t>(value));
      break;
    default:
      WriteNative(value);
      break;
  }
}

std::string TIntegerField::GetText(bool display) const {
  const auto value = Value();
  if (!value) return {};
  return IntegerText(*value, FormatFor(display));
}

void TIntegerField::SetText(std::string_view text) {
  SetNumberText(text, messages::kInvalidIntegerValue, platform::TryParseInt32,
                [this](std::int32_t value) { SetValue(value); });
}

Variant TIntegerField::GetVariant() const { return VariantOf(Value()); }

void TIntegerField::SetVariant(const Variant& value) { SetValue(value.ToInt32()); }

TSmallintField::TSmallintField(std::string fieldName)
    : TIntegerField(std::move(fieldName), ftSmallint, std::numeric_limits<std::int16_t>::min(),
                    std::numeric_limits<std::int16_t>::max()) {}

TWordField::TWordField(std::string fieldName)
    : TIntegerField(std::move(fieldName), ftWord, 0, std::numeric_limits<std::uint16_t>::max()) {}

TAutoIncField::TAutoIncField(std::string fieldName)
    : TIntegerField(std::move(fieldName), ftAutoInc, Int32Limits::min(), Int32Limits::max()) {}

TLargeintField::TLargeintField(std::string fieldName)
    : TNumericField(std::move(fieldName), ftLargeint, 0) {}

std::optional<std::int64_t> TLargeintField::Value() const { return ReadNative<std::int64_t>(); }

void TLargeintField::SetValue(std::int64_t value) {
  if ((minValue_ != 0 || maxValue_ != 0) && (value < minValue_ || value > maxValue_)) {
    RangeError(static_cast<double>(value), static_cast<double>(minValue_),
               static_cast<double>(maxValue_));
  }
  WriteNative(value);
}

std::string TLargeintField::GetText(bool display) const {
  const auto value = Value();
  if (!value) return {};
  return IntegerText(*value, FormatFor(display));
}

void TLargeintField::SetText(std::string_view text) {
  SetNumberText(text, messages::kInvalidIntegerValue, platform::TryParseInt64,
                [this](std::int64_t value) { SetValue(value); });
}

Variant TLargeintField::GetVariant() const { return VariantOf(Value()); }

void TLargeintField::SetVariant(const Variant& value) { SetValue(value.ToInt64()); }

}  // namespace recordset
