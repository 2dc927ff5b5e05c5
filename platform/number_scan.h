#pragma once

// Internal: reading a decimal number text into exact digits, shared by the
// float, currency and decimal parsers.

#include <optional>
#include <string>
#include <string_view>

#include "platform/format_settings.h"

namespace platform::detail {

// The number read: (-1)^negative x 0.digits x 10^pointPosition, with
// `digits` free of leading and trailing zeros (empty for zero).
struct ScannedNumber {
  bool negative = false;
  std::string digits;
  long pointPosition = 0;
};

// Blanks around the text, an optional sign, digits with at most one decimal
// separator (at least one digit in all), an optional exponent. With
// `allowGrouping`, thousands separators may group the integer digits by
// three. nullopt for anything else.
std::optional<ScannedNumber> ScanNumber(std::string_view text, const FormatSettings& settings,
                                        bool allowGrouping);

// The nearest double; nullopt when beyond the double range (tiny values give 0).
std::optional<double> ToDouble(const ScannedNumber& number);

__extension__ typedef unsigned __int128 UInt128;

// |number| x 10^scale rounded half to even to an integer; nullopt when the
// result exceeds `limit`.
std::optional<UInt128> ScaledMagnitude(const ScannedNumber& number, int scale, UInt128 limit);

// The decimal digits of `value` ("0" for zero).
std::string UInt128ToDigits(UInt128 value);

}  // namespace platform::detail
