#pragma once

// Numbers as text and back, with the decimal and thousands separators of a
// FormatSettings (the current ones by default). Never touches the C locale.
// Rounding to a number of digits is exact: the decimal digits of the binary
// value are computed exactly and rounded half away from zero, so 0.125 with
// two decimals is "0,13" and 1.005 (stored as 1.00499999999999989...) "1,00".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/format_settings.h"

namespace platform {

// The general format: at most `precision` significant digits (1..18),
// trailing zeros and a needless decimal separator dropped, no thousands
// separator. Scientific notation ("1,5E-7", "1E20") only when the value is
// below 1E-5 or needs more than `precision` digits before the separator.
// Infinities and NaN give "INF", "-INF" and "NAN".
std::string FloatToStrGeneral(double value, int precision = 15,
                              const FormatSettings& settings = CurrentFormatSettings());

// Fixed-point with exactly `decimals` decimals (0..18), no thousands separator.
std::string FloatToStrFixed(double value, int decimals,
                            const FormatSettings& settings = CurrentFormatSettings());

// Formats by a pattern such as "0.######", "0.00", "#,##0.00", "0.0E+00",
// with up to three sections "positive;negative;zero":
//   0  a digit, zero-padded        #  a digit, omitted when not needed
//   .  the decimal separator (first one counts)
//   ,  thousands grouping (anywhere in the pattern)
//   E+ E- e+ e-  scientific notation, followed by the exponent's 0 digits
//   '...' "..."  literal text; any other character is copied
// A value that rounds to zero uses the zero section (when present); a
// negative value uses the negative section without a sign, or the first one
// with "-" in front. An empty pattern gives FloatToStrGeneral(value, 15).
std::string FormatFloat(std::string_view pattern, double value,
                        const FormatSettings& settings = CurrentFormatSettings());

// A currency amount for display: thousands grouping, the currency decimals
// and the currency string placed by currencyFormat/negativeCurrencyFormat.
std::string CurrencyToDisplayText(double value,
                                  const FormatSettings& settings = CurrentFormatSettings());

// A currency amount for editing: fixed-point with the currency decimals.
std::string CurrencyToEditText(double value,
                               const FormatSettings& settings = CurrentFormatSettings());

// Integer texts: leading blanks are skipped, then an optional "+" or "-",
// then decimal digits, or hexadecimal digits after "$", "x", "X" or "0x"/"0X".
// Nothing may follow. Decimal values must lie in the type's range; a
// hexadecimal value may use the type's full width and is read as its two's
// complement ("$FFFFFFFF" is -1 as Int32). Empty or malformed text: nullopt.
std::optional<std::int32_t> TryParseInt32(std::string_view text);
std::optional<std::int64_t> TryParseInt64(std::string_view text);

// A decimal number with the settings' decimal separator: blanks around it,
// an optional sign, digits with at most one separator, an optional exponent
// ("E"/"e", optional sign, digits). No thousands separators. A value beyond
// the double range fails; one too small for it gives 0.
std::optional<double> TryParseFloat(std::string_view text,
                                    const FormatSettings& settings = CurrentFormatSettings());

// As TryParseFloat, but thousands separators are accepted where they group
// the integer digits by three ("1.234.567,5" in German). This is how
// variant conversions read numbers typed by people.
std::optional<double> TryParseGroupedFloat(std::string_view text,
                                           const FormatSettings& settings = CurrentFormatSettings());

}  // namespace platform
