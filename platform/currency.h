#pragma once

// The currency value of COM variants and Jet: a 64-bit integer scaled by
// 10,000 (four exact decimals, range about +-922 trillion).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/format_settings.h"

namespace platform {

struct Currency {
  static constexpr std::int64_t kScale = 10000;
  std::int64_t scaled = 0;  // the amount times 10,000

  friend bool operator==(Currency, Currency) = default;
  friend auto operator<=>(Currency, Currency) = default;
};

// Rounds to four decimals (half to even, as variant conversions do);
// nullopt when the amount is outside the currency range or not finite.
std::optional<Currency> CurrencyFromDouble(double value);

double CurrencyToDouble(Currency value);

// Plain text with up to four decimals (trailing zeros dropped) and the
// settings' decimal separator: 12.5 gives "12,5" in German.
std::string CurrencyToText(Currency value,
                           const FormatSettings& settings = CurrentFormatSettings());

// Reads a number as TryParseGroupedFloat does, exactly (no binary rounding);
// more than four decimals are rounded half to even. nullopt when malformed
// or out of range.
std::optional<Currency> TryParseCurrency(std::string_view text,
                                         const FormatSettings& settings = CurrentFormatSettings());

}  // namespace platform
