#include "platform/number_scan.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace platform::detail {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads a run of digits at `pos` into `digits`; returns how many there were.
std::size_t ReadDigits(std::string_view text, std::size_t& pos, std::string& digits) {
  const std::size_t start = pos;
  while (pos < text.size() && IsDigit(text[pos])) digits += text[pos++];
  return pos - start;
}

// Reads integer digits grouped by three with `separator` between groups.
bool ReadGroupedDigits(std::string_view text, std::size_t& pos, const std::string& separator,
                       std::string& digits) {
  const std::size_t first = ReadDigits(text, pos, digits);
  if (separator.empty() || first == 0 || first > 3) return true;
  while (text.substr(pos).starts_with(separator)) {
    std::size_t next = pos + separator.size();
    std::string group;
    if (ReadDigits(text, next, group) != 3) return false;
    digits += group;
    pos = next;
  }
  return true;
}

}  // namespace

std::optional<ScannedNumber> ScanNumber(std::string_view text, const FormatSettings& settings,
                                        bool allowGrouping) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);

  ScannedNumber number;
  std::size_t pos = 0;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    number.negative = text[pos] == '-';
    ++pos;
  }
  std::string digits;
  if (allowGrouping) {
    if (!ReadGroupedDigits(text, pos, settings.thousandsSeparator, digits)) return std::nullopt;
  } else {
    ReadDigits(text, pos, digits);
  }
  long integerDigits = static_cast<long>(digits.size());
  if (!settings.decimalSeparator.empty() &&
      text.substr(pos).starts_with(settings.decimalSeparator)) {
    pos += settings.decimalSeparator.size();
    ReadDigits(text, pos, digits);
  }
  if (digits.empty()) return std::nullopt;

  long exponent = 0;
  if (pos < text.size() && (text[pos] == 'E' || text[pos] == 'e')) {
    ++pos;
    bool negativeExponent = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
      negativeExponent = text[pos] == '-';
      ++pos;
    }
    std::string exponentDigits;
    if (ReadDigits(text, pos, exponentDigits) == 0) return std::nullopt;
    for (char c : exponentDigits) {
      exponent = exponent * 10 + (c - '0');
      if (exponent > 100'000) exponent = 100'000;  // far beyond every range; keeps it finite
    }
    if (negativeExponent) exponent = -exponent;
  }
  if (pos != text.size()) return std::nullopt;

  // Normalise: drop leading zeros (moving the point) and trailing zeros.
  std::size_t leading = 0;
  while (leading < digits.size() && digits[leading] == '0') ++leading;
  digits.erase(0, leading);
  integerDigits -= static_cast<long>(leading);
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  number.digits = std::move(digits);
  number.pointPosition = number.digits.empty() ? 0 : integerDigits + exponent;
  return number;
}

std::optional<double> ToDouble(const ScannedNumber& number) {
  if (number.digits.empty()) return number.negative ? -0.0 : 0.0;
  if (number.pointPosition > 400) return std::nullopt;
  if (number.pointPosition < -400) return number.negative ? -0.0 : 0.0;
  const std::string text =
      "0." + number.digits + "e" + std::to_string(number.pointPosition);
  double value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    if (number.pointPosition > 0) return std::nullopt;
    value = 0;
  }
  return number.negative ? -value : value;
}

std::optional<UInt128> ScaledMagnitude(const ScannedNumber& number, int scale, UInt128 limit) {
  const long integerLength = number.pointPosition + scale;  // digits before the rounding point
  if (integerLength > 40) return std::nullopt;
  UInt128 magnitude = 0;
  for (long i = 0; i < integerLength; ++i) {
    const auto digit = static_cast<unsigned>(
        i < static_cast<long>(number.digits.size()) ? number.digits[i] - '0' : 0);
    if (magnitude > (limit - digit) / 10) return std::nullopt;
    magnitude = magnitude * 10 + digit;
  }
  // Half to even on the digits after the rounding point.
  const long first = std::max(integerLength, 0L);
  if (first < static_cast<long>(number.digits.size())) {
    const bool beyondHalf = number.digits[first] > '5' ||
                            (number.digits[first] == '5' &&
                             first + 1 < static_cast<long>(number.digits.size()));
    const bool exactHalf = number.digits[first] == '5' &&
                           first + 1 == static_cast<long>(number.digits.size());
    const bool roundUp = integerLength >= 0 &&
                         (beyondHalf || (exactHalf && (magnitude & 1) != 0));
    if (roundUp) {
      if (magnitude == limit) return std::nullopt;
      ++magnitude;
    }
  }
  return magnitude;
}

std::string UInt128ToDigits(UInt128 value) {
  std::string digits;
  do {
    digits += static_cast<char>('0' + static_cast<int>(value % 10));
    value /= 10;
  } while (value != 0);
  return {digits.rbegin(), digits.rend()};
}

}  // namespace platform::detail
