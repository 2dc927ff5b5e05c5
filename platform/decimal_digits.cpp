#include "platform/decimal_digits.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace platform::detail {
namespace {

// Splits the text of a non-negative number ("123.4500" or "1.2345e+02")
// into significant digits and the position of the decimal point.
DecimalDigits Parse(const char* begin, const char* end) {
  DecimalDigits result;
  int exponent = 0;
  int digitsBeforePoint = 0;
  bool seenPoint = false;
  for (const char* p = begin; p != end; ++p) {
    if (*p == '.') {
      seenPoint = true;
    } else if (*p == 'e') {
      std::from_chars(p + 1 + (p[1] == '+'), end, exponent);
      break;
    } else {
      if (result.digits.empty() && *p == '0') {
        if (seenPoint) --digitsBeforePoint;  // a leading zero after the point
        continue;
      }
      result.digits += *p;
      if (!seenPoint) ++digitsBeforePoint;
    }
  }
  result.pointPosition = digitsBeforePoint + exponent;
  while (!result.digits.empty() && result.digits.back() == '0') result.digits.pop_back();
  if (result.digits.empty()) result.pointPosition = 0;
  return result;
}

// The exact decimal expansion of |value| (finite): a double with k
// fractional bits has exactly k fractional decimal digits.
DecimalDigits ExactDigits(double value) {
  int exponent = 0;
  const double mantissa = std::frexp(value, &exponent);
  const auto significand = static_cast<std::uint64_t>(std::ldexp(mantissa, 53));
  int fractionBits = 53 - exponent;
  if (significand != 0) fractionBits -= std::countr_zero(significand);
  if (fractionBits < 0) fractionBits = 0;
  std::string buffer(1200, '\0');
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::fixed, fractionBits);
  return Parse(buffer.data(), result.ptr);
}

// Keeps the first `keep` digits, rounding half away from zero.
DecimalDigits RoundAt(DecimalDigits number, int keep) {
  if (keep >= static_cast<int>(number.digits.size())) return number;
  if (keep < 0) return {};
  const bool roundUp = number.digits[keep] >= '5';
  number.digits.resize(keep);
  if (roundUp) {
    int i = keep - 1;
    while (i >= 0 && number.digits[i] == '9') number.digits[i--] = '0';
    if (i >= 0) {
      ++number.digits[i];
    } else {
      number.digits.insert(number.digits.begin(), '1');
      ++number.pointPosition;
    }
  }
  while (!number.digits.empty() && number.digits.back() == '0') number.digits.pop_back();
  if (number.digits.empty()) number.pointPosition = 0;
  return number;
}

// Rounds with `keepOf(digits)` kept digits. A correctly rounded text with
// one digit more decides unless that digit is a 5, which may stand for an
// exact tie or for a value just below or above it; then the exact expansion
// decides.
template <class KeepOf>
DecimalDigits RoundWith(double value, const char* begin, const char* end, KeepOf keepOf) {
  DecimalDigits approximate = Parse(begin, end);
  const int keep = keepOf(approximate);
  if (approximate.DigitAt(keep) != '5' || keep + 1 != static_cast<int>(approximate.digits.size())) {
    return RoundAt(std::move(approximate), keep);
  }
  DecimalDigits exact = ExactDigits(value);
  return RoundAt(std::move(exact), keepOf(exact));
}

}  // namespace

std::string DecimalDigits::IntegerDigits() const {
  std::string result;
  for (int i = 0; i < pointPosition; ++i) result += DigitAt(i);
  return result;
}

std::string DecimalDigits::FractionDigits(int count) const {
  std::string result;
  for (int i = 0; i < count; ++i) result += DigitAt(pointPosition + i);
  return result;
}

DecimalDigits RoundToSignificant(double value, int significant) {
  value = std::fabs(value);
  if (value == 0) return {};
  char buffer[80];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                    std::chars_format::scientific, significant);
  return RoundWith(value, buffer, result.ptr, [significant](const DecimalDigits&) {
    return significant;
  });
}

DecimalDigits RoundToDecimals(double value, int decimals) {
  value = std::fabs(value);
  if (value == 0) return {};
  std::string buffer(400, '\0');
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::fixed, decimals + 1);
  return RoundWith(value, buffer.data(), result.ptr, [decimals](const DecimalDigits& number) {
    return number.pointPosition + decimals;
  });
}

std::string GroupThousands(const std::string& integerDigits, const std::string& separator) {
  if (separator.empty() || integerDigits.size() <= 3) return integerDigits;
  std::string result;
  const std::size_t firstGroup = integerDigits.size() % 3 == 0 ? 3 : integerDigits.size() % 3;
  result.append(integerDigits, 0, firstGroup);
  for (std::size_t i = firstGroup; i < integerDigits.size(); i += 3) {
    result += separator;
    result.append(integerDigits, i, 3);
  }
  return result;
}

}  // namespace platform::detail
