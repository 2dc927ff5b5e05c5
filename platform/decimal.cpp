#include "platform/decimal.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/decimal_digits.h"
#include "platform/number_scan.h"

namespace platform {
namespace {

using detail::UInt128;

constexpr UInt128 kMaxMagnitude = (UInt128{1} << 96) - 1;

UInt128 MagnitudeOf(const Decimal& value) {
  return (UInt128{value.high} << 64) | value.low;
}

Decimal MakeDecimal(UInt128 magnitude, int scale, bool negative) {
  Decimal result;
  result.low = static_cast<std::uint64_t>(magnitude);
  result.high = static_cast<std::uint32_t>(magnitude >> 64);
  result.scale = static_cast<std::uint8_t>(scale);
  result.negative = negative && magnitude != 0;
  return result;
}

// The value as significant digits and point position (see ScannedNumber).
detail::ScannedNumber ToScanned(const Decimal& value) {
  detail::ScannedNumber number;
  number.negative = value.negative && !value.IsZero();
  if (value.IsZero()) return number;
  std::string digits = detail::UInt128ToDigits(MagnitudeOf(value));
  number.pointPosition = static_cast<long>(digits.size()) - value.scale;
  while (digits.back() == '0') digits.pop_back();
  number.digits = std::move(digits);
  return number;
}

// A decimal from a scanned number, keeping at most 28 decimals.
std::optional<Decimal> FromScanned(const detail::ScannedNumber& number) {
  const long decimals = static_cast<long>(number.digits.size()) - number.pointPosition;
  const int scale = static_cast<int>(std::clamp(decimals, 0L, long{Decimal::kMaxScale}));
  const auto magnitude = detail::ScaledMagnitude(number, scale, kMaxMagnitude);
  if (!magnitude) return std::nullopt;
  return MakeDecimal(*magnitude, scale, number.negative);
}

// Compares magnitudes given as scanned numbers.
int CompareMagnitudes(const detail::ScannedNumber& a, const detail::ScannedNumber& b) {
  if (a.digits.empty() || b.digits.empty()) {
    return static_cast<int>(!a.digits.empty()) - static_cast<int>(!b.digits.empty());
  }
  if (a.pointPosition != b.pointPosition) return a.pointPosition < b.pointPosition ? -1 : 1;
  const int c = a.digits.compare(b.digits);  // same point: lexicographic order is numeric
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace

bool operator==(const Decimal& a, const Decimal& b) { return (a <=> b) == 0; }

std::strong_ordering operator<=>(const Decimal& a, const Decimal& b) {
  const detail::ScannedNumber x = ToScanned(a);
  const detail::ScannedNumber y = ToScanned(b);
  if (x.negative != y.negative) {
    return x.negative ? std::strong_ordering::less : std::strong_ordering::greater;
  }
  int c = CompareMagnitudes(x, y);
  if (x.negative) c = -c;
  return c < 0 ? std::strong_ordering::less
               : (c > 0 ? std::strong_ordering::greater : std::strong_ordering::equal);
}

Decimal DecimalFromInt64(std::int64_t value) {
  const bool negative = value < 0;
  const std::uint64_t magnitude =
      negative ? std::uint64_t{0} - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  return MakeDecimal(magnitude, 0, negative);
}

std::optional<Decimal> DecimalFromDouble(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const detail::DecimalDigits digits = detail::RoundToSignificant(value, 15);
  detail::ScannedNumber number;
  number.negative = value < 0;
  number.digits = digits.digits;
  number.pointPosition = digits.pointPosition;
  return FromScanned(number);
}

double DecimalToDouble(const Decimal& value) {
  const std::string text =
      detail::UInt128ToDigits(MagnitudeOf(value)) + "e-" + std::to_string(value.scale);
  double result = 0;
  std::from_chars(text.data(), text.data() + text.size(), result);
  return value.negative ? -result : result;
}

std::optional<std::int64_t> DecimalToInt64(const Decimal& value) {
  const detail::UInt128 limit =
      static_cast<UInt128>(std::numeric_limits<std::int64_t>::max()) + value.negative;
  const auto magnitude = detail::ScaledMagnitude(ToScanned(value), 0, limit);
  if (!magnitude) return std::nullopt;
  const auto bits = static_cast<std::uint64_t>(*magnitude);
  return static_cast<std::int64_t>(value.negative ? std::uint64_t{0} - bits : bits);
}

std::string DecimalToText(const Decimal& value, const FormatSettings& settings) {
  std::string digits = detail::UInt128ToDigits(MagnitudeOf(value));
  const std::size_t scale = value.scale;
  if (digits.size() <= scale) digits.insert(0, scale + 1 - digits.size(), '0');
  std::string text = value.negative && !value.IsZero() ? "-" : "";
  text += digits.substr(0, digits.size() - scale);
  if (scale > 0) text += settings.decimalSeparator + digits.substr(digits.size() - scale);
  return text;
}

std::optional<Decimal> TryParseDecimal(std::string_view text, const FormatSettings& settings) {
  const auto number = detail::ScanNumber(text, settings, true);
  if (!number) return std::nullopt;
  return FromScanned(*number);
}

}  // namespace platform
