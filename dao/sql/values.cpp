#include "dao/sql/values.h"

#include <cmath>
#include <limits>

#include "dao/sql/sql_error.h"
#include "platform/errors.h"
#include "platform/text_case.h"

namespace dao::sql {
namespace {

using platform::Variant;
using platform::VariantType;

enum class Kind : std::uint8_t { kNull, kWhole, kReal, kCurrency, kDate, kText, kBinary, kGuid };

Kind KindOf(const Variant& value) {
  switch (value.Type()) {
    case VariantType::kEmpty:
    case VariantType::kNull: return Kind::kNull;
    case VariantType::kBoolean:
    case VariantType::kByte:
    case VariantType::kInt16:
    case VariantType::kInt32:
    case VariantType::kInt64: return Kind::kWhole;
    case VariantType::kSingle:
    case VariantType::kDouble:
    case VariantType::kDecimal: return Kind::kReal;
    case VariantType::kCurrency: return Kind::kCurrency;
    case VariantType::kDate: return Kind::kDate;
    case VariantType::kString: return Kind::kText;
    case VariantType::kBytes: return Kind::kBinary;
    case VariantType::kGuid: return Kind::kGuid;
  }
  return Kind::kNull;
}

bool IsNumberKind(Kind kind) {
  return kind == Kind::kWhole || kind == Kind::kReal || kind == Kind::kCurrency || kind == Kind::kDate;
}

// A text operand of arithmetic: the number it reads as (a whole number
// stays whole), as VBA converts it.
Variant NumberFromText(const std::string& text) {
  try {
    const Variant value(text);
    const double real = value.ToDouble();
    if (real == std::floor(real) && std::fabs(real) < 9.0e15) {
      if (real >= std::numeric_limits<std::int32_t>::min() && real <= std::numeric_limits<std::int32_t>::max())
        return Variant(static_cast<std::int32_t>(real));
      return Variant(real);
    }
    return Variant(real);
  } catch (const platform::ConversionError&) {
    RaiseTypeMismatch();
  }
}

// A whole result: Long while it fits, else Double (never an overflow).
Variant Whole(long double value) {
  if (value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max())
    return Variant(static_cast<std::int32_t>(value));
  return Variant(static_cast<double>(value));
}

Variant Real(double value) {
  if (!std::isfinite(value)) RaiseSql(kErrOverflow, "Overflow.");
  return Variant(value);
}

Variant CurrencyOrReal(long double value) {
  if (const auto currency = platform::CurrencyFromDouble(static_cast<double>(value))) return Variant(*currency);
  return Real(static_cast<double>(value));
}

std::int64_t RoundedWhole(const Variant& value) {
  const double real = NumberOf(value);
  const double rounded = std::nearbyint(real);  // half to even, as VBA's \ and Mod round
  if (!(std::fabs(rounded) < 9.2e18)) RaiseSql(kErrOverflow, "Overflow.");
  return static_cast<std::int64_t>(rounded);
}

[[noreturn]] void DivisionByZero() { RaiseSql(kErrDivisionByZero, "Division by zero."); }

int Sign(double a, double b) { return a < b ? -1 : (a > b ? 1 : 0); }

int CompareNumbers(const Variant& a, const Variant& b) {
  const Kind ka = KindOf(a), kb = KindOf(b);
  if (ka == Kind::kWhole && kb == Kind::kWhole) {
    const std::int64_t x = a.ToInt64(), y = b.ToInt64();
    return x < y ? -1 : (x > y ? 1 : 0);
  }
  if (ka == Kind::kCurrency && kb == Kind::kCurrency) {
    const std::int64_t x = a.ToCurrency().scaled, y = b.ToCurrency().scaled;
    return x < y ? -1 : (x > y ? 1 : 0);
  }
  return Sign(NumberOf(a), NumberOf(b));
}

// A text compared with a number or date: the number or date it reads as.
Variant TextAs(const Variant& text, Kind kind) {
  try {
    if (kind == Kind::kDate) return Variant::FromDate(text.ToDate());
    return Variant(text.ToDouble());
  } catch (const platform::ConversionError&) {
    RaiseTypeMismatch();
  }
}

int CompareBytes(const platform::Bytes& a, const platform::Bytes& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

int CompareGuids(const Variant& a, const Variant& b) {
  const auto x = GuidOrderBytes(a.ToGuid()), y = GuidOrderBytes(b.ToGuid());
  return x < y ? -1 : (y < x ? 1 : 0);
}

}  // namespace

std::array<std::uint8_t, 16> GuidOrderBytes(const platform::Guid& guid) {
  const auto& b = guid.bytes;
  return {b[3], b[2], b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]};
}

bool IsNumeric(const Variant& value) { return IsNumberKind(KindOf(value)); }

double NumberOf(const Variant& value) {
  switch (KindOf(value)) {
    case Kind::kWhole:
    case Kind::kReal:
    case Kind::kCurrency:
    case Kind::kDate: return value.ToDouble();
    case Kind::kText: return NumberFromText(*value.StringIf()).ToDouble();
    default: RaiseTypeMismatch();
  }
}

Truth TruthOf(const Variant& value) {
  switch (KindOf(value)) {
    case Kind::kNull: return Truth::kNull;
    case Kind::kText: {
      const std::string& text = *value.StringIf();
      if (platform::AnsiSameText(text, "True")) return Truth::kTrue;
      if (platform::AnsiSameText(text, "False")) return Truth::kFalse;
      return NumberOf(value) != 0 ? Truth::kTrue : Truth::kFalse;
    }
    case Kind::kBinary:
    case Kind::kGuid: RaiseTypeMismatch();
    default: return NumberOf(value) != 0 ? Truth::kTrue : Truth::kFalse;
  }
}

Variant VariantOf(Truth truth) {
  if (truth == Truth::kNull) return Variant::Null();
  return Variant(truth == Truth::kTrue);
}

Variant Arithmetic(Operator op, const Variant& a, const Variant& b) {
  Kind ka = KindOf(a), kb = KindOf(b);
  if (ka == Kind::kNull || kb == Kind::kNull) return Variant::Null();
  if (op == Operator::kAdd && ka == Kind::kText && kb == Kind::kText) return Variant(*a.StringIf() + *b.StringIf());
  if (ka == Kind::kBinary || ka == Kind::kGuid || kb == Kind::kBinary || kb == Kind::kGuid) RaiseTypeMismatch();
  const Variant x = ka == Kind::kText ? NumberFromText(*a.StringIf()) : a;
  const Variant y = kb == Kind::kText ? NumberFromText(*b.StringIf()) : b;
  ka = KindOf(x);
  kb = KindOf(y);
  switch (op) {
    case Operator::kIntegerDivide: {
      const std::int64_t divisor = RoundedWhole(y);
      if (divisor == 0) DivisionByZero();
      const std::int64_t dividend = RoundedWhole(x);
      if (dividend == std::numeric_limits<std::int64_t>::min() && divisor == -1) return Real(9.2233720368547758e18);
      return Whole(static_cast<long double>(dividend / divisor));
    }
    case Operator::kModulo: {
      const std::int64_t divisor = RoundedWhole(y);
      if (divisor == 0) DivisionByZero();
      if (divisor == -1) return Variant(std::int32_t{0});
      return Whole(static_cast<long double>(RoundedWhole(x) % divisor));
    }
    case Operator::kDivide: {
      const double divisor = y.ToDouble();
      if (divisor == 0) DivisionByZero();
      return Real(x.ToDouble() / divisor);
    }
    case Operator::kPower: {
      const double result = std::pow(x.ToDouble(), y.ToDouble());
      if (std::isnan(result)) RaiseSql(5, "Invalid procedure call or argument.");
      return Real(result);
    }
    default: break;
  }
  // +, - and *.
  const bool dates = ka == Kind::kDate || kb == Kind::kDate;
  if (dates && op != Operator::kMultiply) {
    const double result = op == Operator::kAdd ? x.ToDouble() + y.ToDouble() : x.ToDouble() - y.ToDouble();
    // The difference of two dates is a number of days.
    if (op == Operator::kSubtract && ka == Kind::kDate && kb == Kind::kDate) return Real(result);
    if (!platform::IsValidDateTime(result)) RaiseSql(kErrOverflow, "Overflow.");
    return Variant::FromDate(result);
  }
  const auto apply = [op](long double p, long double q) {
    return op == Operator::kAdd ? p + q : (op == Operator::kSubtract ? p - q : p * q);
  };
  if (ka == Kind::kWhole && kb == Kind::kWhole) {
    const long double result = apply(static_cast<long double>(x.ToInt64()), static_cast<long double>(y.ToInt64()));
    if ((x.Type() == VariantType::kInt64 || y.Type() == VariantType::kInt64) && result >= -9.2e18L && result <= 9.2e18L)
      return Variant(static_cast<std::int64_t>(result));
    return Whole(result);
  }
  if ((ka == Kind::kCurrency || kb == Kind::kCurrency) && ka != Kind::kReal && kb != Kind::kReal) {
    return CurrencyOrReal(apply(static_cast<long double>(x.ToDouble()), static_cast<long double>(y.ToDouble())));
  }
  return Real(static_cast<double>(apply(x.ToDouble(), y.ToDouble())));
}

Variant Negate(const Variant& value) {
  switch (KindOf(value)) {
    case Kind::kNull: return Variant::Null();
    case Kind::kWhole: {
      if (value.Type() == VariantType::kInt64 && value.ToInt64() != std::numeric_limits<std::int64_t>::min())
        return Variant(-value.ToInt64());
      return Whole(-static_cast<long double>(value.ToInt64()));
    }
    case Kind::kCurrency: return CurrencyOrReal(-static_cast<long double>(value.ToDouble()));
    case Kind::kDate: {
      const double result = -value.ToDouble();
      if (!platform::IsValidDateTime(result)) RaiseSql(kErrOverflow, "Overflow.");
      return Variant::FromDate(result);
    }
    case Kind::kText: return Negate(NumberFromText(*value.StringIf()));
    case Kind::kReal: return Variant(-value.ToDouble());
    default: RaiseTypeMismatch();
  }
}

Variant Concatenate(const Variant& a, const Variant& b) {
  const bool nullA = KindOf(a) == Kind::kNull, nullB = KindOf(b) == Kind::kNull;
  if (nullA && nullB) return Variant::Null();
  std::string text = nullA ? std::string() : a.ToText();
  if (!nullB) text += b.ToText();
  return Variant(std::move(text));
}

Truth Logical(Operator op, Truth a, Truth b) {
  const auto known = [](Truth t) { return t != Truth::kNull; };
  const auto of = [](bool value) { return value ? Truth::kTrue : Truth::kFalse; };
  switch (op) {
    case Operator::kAnd:
      if (a == Truth::kFalse || b == Truth::kFalse) return Truth::kFalse;
      return known(a) && known(b) ? Truth::kTrue : Truth::kNull;
    case Operator::kOr:
      if (a == Truth::kTrue || b == Truth::kTrue) return Truth::kTrue;
      return known(a) && known(b) ? Truth::kFalse : Truth::kNull;
    case Operator::kXor:
      if (!known(a) || !known(b)) return Truth::kNull;
      return of(a != b);
    case Operator::kEqv:
      if (!known(a) || !known(b)) return Truth::kNull;
      return of(a == b);
    case Operator::kImp:
      if (a == Truth::kFalse || b == Truth::kTrue) return Truth::kTrue;
      if (a == Truth::kTrue && b == Truth::kFalse) return Truth::kFalse;
      return Truth::kNull;
    default: return Truth::kNull;
  }
}

std::optional<int> Compare(const Variant& a, const Variant& b, const TextOrder& order) {
  const Kind ka = KindOf(a), kb = KindOf(b);
  if (ka == Kind::kNull || kb == Kind::kNull) return std::nullopt;
  if (ka == Kind::kText && kb == Kind::kText) return order.Compare(*a.StringIf(), *b.StringIf());
  if (IsNumberKind(ka) && IsNumberKind(kb)) return CompareNumbers(a, b);
  if (ka == Kind::kText && IsNumberKind(kb)) return CompareNumbers(TextAs(a, kb), b);
  if (IsNumberKind(ka) && kb == Kind::kText) return CompareNumbers(a, TextAs(b, ka));
  if (ka == Kind::kBinary && kb == Kind::kBinary) return CompareBytes(*a.BytesIf(), *b.BytesIf());
  if (ka == Kind::kGuid && kb == Kind::kGuid) return CompareGuids(a, b);
  RaiseTypeMismatch();
}

Truth Compared(Operator op, std::optional<int> order) {
  if (!order) return Truth::kNull;
  bool result = false;
  switch (op) {
    case Operator::kEqual: result = *order == 0; break;
    case Operator::kNotEqual: result = *order != 0; break;
    case Operator::kLess: result = *order < 0; break;
    case Operator::kLessOrEqual: result = *order <= 0; break;
    case Operator::kGreater: result = *order > 0; break;
    case Operator::kGreaterOrEqual: result = *order >= 0; break;
    default: break;
  }
  return result ? Truth::kTrue : Truth::kFalse;
}

int OrderCompare(const Variant& a, const Variant& b, const TextOrder& order) {
  const auto rank = [](Kind kind) {
    switch (kind) {
      case Kind::kNull: return 0;
      case Kind::kText: return 2;
      case Kind::kBinary: return 3;
      case Kind::kGuid: return 4;
      default: return 1;
    }
  };
  const Kind ka = KindOf(a), kb = KindOf(b);
  if (rank(ka) != rank(kb)) return rank(ka) < rank(kb) ? -1 : 1;
  switch (rank(ka)) {
    case 0: return 0;
    case 1: return CompareNumbers(a, b);
    case 2: return order.Compare(*a.StringIf(), *b.StringIf());
    case 3: return CompareBytes(*a.BytesIf(), *b.BytesIf());
    default: return CompareGuids(a, b);
  }
}

}  // namespace dao::sql
