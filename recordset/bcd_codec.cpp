#include "recordset/bcd_codec.h"

#include <cstdint>
#include <limits>

namespace recordset {

namespace {

constexpr int kMaxDigits = 64;
constexpr int kCurrencyDecimals = 4;
constexpr std::uint8_t kNegativeBit = 0x80;
constexpr std::uint8_t kDecimalsMask = 0x3F;
constexpr int kFirstDigitByte = 2;

// __extension__: the 128-bit integer is a GNU extension, wanted here for
// exact digit arithmetic beyond 64 bits.
__extension__ typedef __int128 Wide;

int DigitAt(std::span<const std::byte, kBcdNativeSize> bcd, int index) {
  const auto byte = static_cast<std::uint8_t>(bcd[kFirstDigitByte + index / 2]);
  return (index % 2 == 0) ? (byte >> 4) : (byte & 0x0F);
}

void SetDigitAt(BcdBytes& bcd, int index, int digit) {
  auto& byte = bcd[static_cast<std::size_t>(kFirstDigitByte + index / 2)];
  const auto old = static_cast<std::uint8_t>(byte);
  const auto value = (index % 2 == 0) ? ((digit << 4) | (old & 0x0F)) : ((old & 0xF0) | digit);
  byte = static_cast<std::byte>(value);
}

// Divides by 10^places, rounding half to even.
Wide DivideRounded(Wide value, int places) {
  if (places <= 0) return value;
  Wide divisor = 1;
  for (int i = 0; i < places; ++i) divisor *= 10;
  const Wide quotient = value / divisor;
  const Wide remainder = value % divisor;
  const Wide twice = remainder * 2;
  if (twice > divisor || (twice == divisor && quotient % 2 != 0)) return quotient + 1;
  return quotient;
}

// An integer part beyond this can never fit a currency; stopping there keeps
// the 128-bit accumulator from overflowing on 64-digit values.
constexpr Wide kAccumulatorLimit = Wide(std::numeric_limits<std::int64_t>::max());

}  // namespace

std::optional<platform::Currency> BcdToCurrency(std::span<const std::byte, kBcdNativeSize> bcd) {
  const int digits = static_cast<std::uint8_t>(bcd[0]);
  const auto signAndScale = static_cast<std::uint8_t>(bcd[1]);
  const int decimals = signAndScale & kDecimalsMask;
  if (digits < 1 || digits > kMaxDigits || decimals > digits) return std::nullopt;
  for (int i = 0; i < digits; ++i) {
    if (DigitAt(bcd, i) > 9) return std::nullopt;
  }
  const int integerDigits = digits - decimals;
  Wide scaled = 0;
  for (int i = 0; i < integerDigits; ++i) {
    scaled = scaled * 10 + DigitAt(bcd, i);
    if (scaled > kAccumulatorLimit) return std::nullopt;
  }
  for (int i = 0; i < kCurrencyDecimals; ++i) {
    scaled = scaled * 10 + (i < decimals ? DigitAt(bcd, integerDigits + i) : 0);
  }
  // Decimals beyond the fourth round half to even.
  if (decimals > kCurrencyDecimals) {
    const int first = DigitAt(bcd, integerDigits + kCurrencyDecimals);
    bool restNonZero = false;
    for (int i = integerDigits + kCurrencyDecimals + 1; i < digits; ++i) {
      restNonZero = restNonZero || DigitAt(bcd, i) != 0;
    }
    if (first > 5 || (first == 5 && (restNonZero || scaled % 2 != 0))) ++scaled;
  }
  if ((signAndScale & kNegativeBit) != 0) scaled = -scaled;
  if (scaled > std::numeric_limits<std::int64_t>::max() ||
      scaled < std::numeric_limits<std::int64_t>::min()) {
    return std::nullopt;
  }
  return platform::Currency{static_cast<std::int64_t>(scaled)};
}

std::optional<BcdBytes> CurrencyToBcd(platform::Currency value, int precision, int decimals) {
  if (precision < 1 || precision > kMaxDigits || decimals < 0 || decimals > precision ||
      decimals > kDecimalsMask) {
    return std::nullopt;
  }
  Wide magnitude = value.scaled < 0 ? -Wide(value.scaled) : Wide(value.scaled);
  magnitude = DivideRounded(magnitude, kCurrencyDecimals - decimals);
  for (int i = kCurrencyDecimals; i < decimals; ++i) magnitude *= 10;

  BcdBytes bcd{};
  bcd[0] = static_cast<std::byte>(precision);
  bcd[1] = static_cast<std::byte>((value.scaled < 0 ? kNegativeBit : 0) | decimals);
  for (int i = precision - 1; i >= 0; --i) {
    SetDigitAt(bcd, i, static_cast<int>(magnitude % 10));
    magnitude /= 10;
  }
  if (magnitude != 0) return std::nullopt;
  return bcd;
}

}  // namespace recordset
