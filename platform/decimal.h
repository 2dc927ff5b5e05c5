#pragma once

// The exact decimal of COM variants and Jet 4 NUMERIC columns: a 96-bit
// unsigned magnitude, a sign and a scale (number of decimals, 0..28).
// The value is (-1)^negative * magnitude / 10^scale.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/format_settings.h"

namespace platform {

struct Decimal {
  static constexpr int kMaxScale = 28;
  std::uint64_t low = 0;   // magnitude bits 0..63
  std::uint32_t high = 0;  // magnitude bits 64..95
  std::uint8_t scale = 0;
  bool negative = false;

  bool IsZero() const { return low == 0 && high == 0; }
};

// Equal values compare equal whatever their scale (1.5 == 1.50; -0 == 0).
bool operator==(const Decimal& a, const Decimal& b);
std::strong_ordering operator<=>(const Decimal& a, const Decimal& b);

Decimal DecimalFromInt64(std::int64_t value);

// The nearest decimal with at most 15 significant digits (what a variant
// conversion from a double keeps); nullopt when not finite or too large.
std::optional<Decimal> DecimalFromDouble(double value);

// The nearest double.
double DecimalToDouble(const Decimal& value);

// Rounds to an integer (half to even); nullopt when it does not fit.
std::optional<std::int64_t> DecimalToInt64(const Decimal& value);

// Exact text with the settings' decimal separator; trailing zeros of the
// scale are kept ("1,50" for scale 2), as the column's scale says.
std::string DecimalToText(const Decimal& value,
                          const FormatSettings& settings = CurrentFormatSettings());

// Reads sign, digits and an optional decimal separator (thousands grouping
// and an exponent accepted as in TryParseGroupedFloat); more than 28
// decimals are rounded half to even. nullopt when malformed or beyond 96 bits.
std::optional<Decimal> TryParseDecimal(std::string_view text,
                                       const FormatSettings& settings = CurrentFormatSettings());

}  // namespace platform
