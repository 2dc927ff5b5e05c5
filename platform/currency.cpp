#include "platform/currency.h"

#include <cmath>
#include <limits>

#include "platform/number_scan.h"

namespace platform {

std::optional<Currency> CurrencyFromDouble(double value) {
  const double scaled = std::nearbyint(value * static_cast<double>(Currency::kScale));
  // 2^63 is the first double beyond the int64 range.
  if (!std::isfinite(scaled) || scaled >= 9223372036854775808.0 ||
      scaled < -9223372036854775808.0) {
    return std::nullopt;
  }
  return Currency{static_cast<std::int64_t>(scaled)};
}

double CurrencyToDouble(Currency value) {
  return static_cast<double>(value.scaled) / static_cast<double>(Currency::kScale);
}

std::string CurrencyToText(Currency value, const FormatSettings& settings) {
  const bool negative = value.scaled < 0;
  const std::uint64_t magnitude = negative ? std::uint64_t{0} - static_cast<std::uint64_t>(value.scaled)
                                           : static_cast<std::uint64_t>(value.scaled);
  std::string text = (negative ? "-" : "") + std::to_string(magnitude / Currency::kScale);
  std::string fraction = std::to_string(magnitude % Currency::kScale + Currency::kScale).substr(1);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  if (!fraction.empty()) text += settings.decimalSeparator + fraction;
  return text;
}

std::optional<Currency> TryParseCurrency(std::string_view text, const FormatSettings& settings) {
  const auto number = detail::ScanNumber(text, settings, true);
  if (!number) return std::nullopt;
  const detail::UInt128 limit =
      static_cast<detail::UInt128>(std::numeric_limits<std::int64_t>::max()) + number->negative;
  const auto magnitude = detail::ScaledMagnitude(*number, 4, limit);
  if (!magnitude) return std::nullopt;
  const auto bits = static_cast<std::uint64_t>(*magnitude);
  return Currency{static_cast<std::int64_t>(number->negative ? std::uint64_t{0} - bits : bits)};
}

}  // namespace platform
