#include "platform/number_text.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/decimal_digits.h"
#include "platform/float_pattern.h"
#include "platform/hex_digits.h"
#include "platform/number_scan.h"

namespace platform {
namespace {

constexpr int kMaxDigits = 18;

std::string NonFiniteText(double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

// Integer digits, then the separator and the fraction digits when there are any.
std::string JoinNumber(std::string integerDigits, const std::string& fraction,
                       const FormatSettings& settings) {
  if (integerDigits.empty()) integerDigits = "0";
  return fraction.empty() ? integerDigits : integerDigits + settings.decimalSeparator + fraction;
}

// Places the currency string around the amount text `amount` (no sign).
std::string PlaceCurrency(const std::string& amount, bool negative,
                          const FormatSettings& settings) {
  const std::string& c = settings.currencyString;
  if (!negative) {
    switch (settings.currencyFormat) {
      case 1: return amount + c;
      case 2: return c + " " + amount;
      case 3: return amount + " " + c;
      default: return c + amount;
    }
  }
  switch (settings.negativeCurrencyFormat) {
    case 0: return "(" + c + amount + ")";
    case 2: return c + "-" + amount;
    case 3: return c + amount + "-";
    case 4: return "(" + amount + c + ")";
    case 5: return "-" + amount + c;
    case 6: return amount + "-" + c;
    case 7: return amount + c + "-";
    case 8: return "-" + amount + " " + c;
    case 9: return "-" + c + " " + amount;
    case 10: return amount + " " + c + "-";
    case 11: return c + " " + amount + "-";
    case 12: return c + " -" + amount;
    case 13: return amount + "- " + c;
    case 14: return "(" + c + " " + amount + ")";
    case 15: return "(" + amount + " " + c + ")";
    default: return "-" + c + amount;
  }
}

template <class Int>
std::optional<Int> TryParseInteger(std::string_view text) {
  using Unsigned = std::make_unsigned_t<Int>;
  std::size_t pos = 0;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  bool hex = false;
  if (pos < text.size() && (text[pos] == '$' || text[pos] == 'x' || text[pos] == 'X')) {
    hex = true;
    ++pos;
  } else if (pos + 1 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
    hex = true;
    pos += 2;
  }
  if (pos == text.size()) return std::nullopt;

  const unsigned base = hex ? 16 : 10;
  // Decimal texts may reach the magnitude of the type's minimum; hexadecimal
  // ones the type's full unsigned width.
  const Unsigned limit = hex ? std::numeric_limits<Unsigned>::max()
                             : static_cast<Unsigned>(std::numeric_limits<Int>::max()) + negative;
  Unsigned magnitude = 0;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    const int value = HexDigitValue(c);
    if (value < 0 || (!hex && value > 9)) return std::nullopt;
    const auto digit = static_cast<unsigned>(value);
    if (magnitude > (limit - digit) / base) return std::nullopt;
    magnitude = static_cast<Unsigned>(magnitude * base + digit);
  }
  if (negative) magnitude = static_cast<Unsigned>(Unsigned{0} - magnitude);
  return static_cast<Int>(magnitude);
}

}  // namespace

std::string FloatToStrGeneral(double value, int precision, const FormatSettings& settings) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  precision = std::clamp(precision, 1, kMaxDigits);
  const detail::DecimalDigits number = detail::RoundToSignificant(value, precision);
  if (number.IsZero()) return "0";
  const std::string sign = value < 0 ? "-" : "";
  const int point = number.pointPosition;
  if (point >= -4 && point <= precision) {
    const int fractionLength = std::max(0, static_cast<int>(number.digits.size()) - point);
    return sign + JoinNumber(number.IntegerDigits(), number.FractionDigits(fractionLength), settings);
  }
  const int exponent = point - 1;
  std::string text = sign + number.digits.substr(0, 1);
  if (number.digits.size() > 1) text += settings.decimalSeparator + number.digits.substr(1);
  return text + "E" + std::to_string(exponent);
}

std::string FloatToStrFixed(double value, int decimals, const FormatSettings& settings) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  decimals = std::clamp(decimals, 0, kMaxDigits);
  const detail::DecimalDigits number = detail::RoundToDecimals(value, decimals);
  const std::string sign = value < 0 && !number.IsZero() ? "-" : "";
  return sign + JoinNumber(number.IntegerDigits(), number.FractionDigits(decimals), settings);
}

std::string FormatFloat(std::string_view pattern, double value, const FormatSettings& settings) {
  if (pattern.empty() || !std::isfinite(value)) return FloatToStrGeneral(value, 15, settings);
  return detail::FormatByPattern(pattern, value, settings);
}

std::string CurrencyToDisplayText(double value, const FormatSettings& settings) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  const int decimals = std::clamp(settings.currencyDecimals, 0, kMaxDigits);
  const detail::DecimalDigits number = detail::RoundToDecimals(value, decimals);
  std::string integerDigits = number.IntegerDigits();
  if (integerDigits.empty()) integerDigits = "0";
  const std::string amount =
      JoinNumber(detail::GroupThousands(integerDigits, settings.thousandsSeparator),
                 number.FractionDigits(decimals), settings);
  return PlaceCurrency(amount, value < 0 && !number.IsZero(), settings);
}

std::string CurrencyToEditText(double value, const FormatSettings& settings) {
  return FloatToStrFixed(value, settings.currencyDecimals, settings);
}

std::optional<std::int32_t> TryParseInt32(std::string_view text) {
  return TryParseInteger<std::int32_t>(text);
}

std::optional<std::int64_t> TryParseInt64(std::string_view text) {
  return TryParseInteger<std::int64_t>(text);
}

std::optional<double> TryParseFloat(std::string_view text, const FormatSettings& settings) {
  const auto number = detail::ScanNumber(text, settings, false);
  if (!number) return std::nullopt;
  return detail::ToDouble(*number);
}

std::optional<double> TryParseGroupedFloat(std::string_view text, const FormatSettings& settings) {
  const auto number = detail::ScanNumber(text, settings, true);
  if (!number) return std::nullopt;
  return detail::ToDouble(*number);
}

}  // namespace platform
