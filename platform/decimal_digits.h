#pragma once

// Internal: the decimal digits of a double, rounded exactly. Shared by the
// number texts and the format patterns.

#include <string>

namespace platform::detail {

// A non-negative decimal 0.d1d2...dn x 10^pointPosition: `digits` has no
// leading or trailing zeros; empty digits mean zero.
struct DecimalDigits {
  std::string digits;
  int pointPosition = 0;

  bool IsZero() const { return digits.empty(); }
  // The digit at `index` counted from the first significant one; 0 beyond.
  char DigitAt(int index) const {
    return index >= 0 && index < static_cast<int>(digits.size()) ? digits[index] : '0';
  }
  // The digits before the decimal point ("" for values below 1).
  std::string IntegerDigits() const;
  // The first `count` digits after the decimal point, zero-padded.
  std::string FractionDigits(int count) const;
};

// |value| rounded half away from zero to `significant` digits (1..40).
// `value` must be finite.
DecimalDigits RoundToSignificant(double value, int significant);

// |value| rounded half away from zero to `decimals` decimals (0..40).
// `value` must be finite.
DecimalDigits RoundToDecimals(double value, int decimals);

// Inserts `separator` between groups of three digits, counted from the right.
std::string GroupThousands(const std::string& integerDigits, const std::string& separator);

}  // namespace platform::detail
