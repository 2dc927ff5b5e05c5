#pragma once

// Integer fields: TIntegerField (ftInteger, 32-bit) and its kinds
// TSmallintField (16-bit), TWordField (16-bit unsigned) and TAutoIncField,
// plus TLargeintField (64-bit). Text reads are plain decimal or the format
// pattern; text writes accept the integer syntax of platform::TryParseInt32
// (blanks, sign, "$"/"x"/"0x" hexadecimal) and check the range: the minimum
// and maximum when either is non-zero, otherwise the type's range.

#include <cstdint>
#include <optional>

#include "recordset/numeric_field.h"

namespace recordset {

class TIntegerField : public TNumericField {
 public:
  explicit TIntegerField(std::string fieldName);

  // The value, or nullopt for Null.
  std::optional<std::int32_t> Value() const;
  // Stores `value` after the range check.
  void SetValue(std::int32_t value);
  // Limits of the value; both 0 means the type's range.
  std::int32_t MinValue() const { return minValue_; }
  void SetMinValue(std::int32_t value) { minValue_ = value; }
  std::int32_t MaxValue() const { return maxValue_; }
  void SetMaxValue(std::int32_t value) { maxValue_ = value; }

 protected:
  TIntegerField(std::string fieldName, TFieldType dataType, std::int32_t minRange,
                std::int32_t maxRange);

  std::string GetText(bool display) const override;
  void SetText(std::string_view text) override;
  Variant GetVariant() const override;
  void SetVariant(const Variant& value) override;

 private:
  std::int32_t minRange_;
  std::int32_t maxRange_;
  std::int32_t minValue_ = 0;
  std::int32_t maxValue_ = 0;
};

class TSmallintField : public TIntegerField {
 public:
  explicit TSmallintField(std::string fieldName);
};

class TWordField : public TIntegerField {
 public:
  explicit TWordField(std::string fieldName);
};

class TAutoIncField : public TIntegerField {
 public:
  explicit TAutoIncField(std::string fieldName);
};

class TLargeintField : public TNumericField {
 public:
  explicit TLargeintField(std::string fieldName);

  std::optional<std::int64_t> Value() const;
  void SetValue(std::int64_t value);
  // Limits of the value; both 0 means no limit beyond 64 bits.
  std::int64_t MinValue() const { return minValue_; }
  void SetMinValue(std::int64_t value) { minValue_ = value; }
  std::int64_t MaxValue() const { return maxValue_; }
  void SetMaxValue(std::int64_t value) { maxValue_ = value; }

 protected:
  std::string GetText(bool display) const override;
  void SetText(std::string_view text) override;
  Variant GetVariant() const override;
  void SetVariant(const Variant& value) override;

 private:
  std::int64_t minValue_ = 0;
  std::int64_t maxValue_ = 0;
};

}  // namespace recordset
