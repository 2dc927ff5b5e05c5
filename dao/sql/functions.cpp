#include "dao/sql/functions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "dao/sql/date_literal.h"
#include "dao/sql/sql_error.h"
#include "dao/sql/values.h"
#include "platform/clock.h"
#include "platform/date_time.h"
#include "platform/errors.h"
#include "platform/text_case.h"
#include "platform/utf8.h"

namespace dao::sql {
namespace {

using platform::Variant;
using platform::VariantType;
using Args = std::span<const Variant>;

[[noreturn]] void InvalidUseOfNull() { RaiseSql(94, "Invalid use of Null."); }
[[noreturn]] void InvalidCall() { RaiseSql(5, "Invalid procedure call or argument."); }

bool IsNull(const Variant& value) { return value.IsNull() || value.IsEmpty(); }

std::u32string CodePoints(std::string_view text) {
  std::u32string points;
  std::size_t pos = 0;
  char32_t c = 0;
  while (pos < text.size()) {
    if (!platform::NextCodePoint(text, pos, c)) c = platform::kReplacementCharacter;
    points.push_back(c);
  }
  return points;
}

std::string Utf8(std::u32string_view points) {
  std::string text;
  for (const char32_t c : points) platform::AppendUtf8(c, text);
  return text;
}

std::string TextOf(const Variant& value) { return value.ToText(); }

// A count argument (Left, Right, Mid, Space): a whole number >= 0.
std::size_t CountOf(const Variant& value) {
  if (IsNull(value)) InvalidUseOfNull();
  const double number = std::nearbyint(NumberOf(value));
  if (number < 0 || number > 2.0e9) InvalidCall();
  return static_cast<std::size_t>(number);
}

Variant Whole(double value) {
  if (value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max())
    return Variant(static_cast<std::int32_t>(value));
  return Variant(value);
}

// Int and Fix keep the kind of their argument.
Variant Truncated(const Variant& value, bool floor) {
  if (IsNull(value)) return Variant::Null();
  const auto cut = [floor](double x) { return floor ? std::floor(x) : std::trunc(x); };
  switch (value.Type()) {
    case VariantType::kBoolean:
    case VariantType::kByte:
    case VariantType::kInt16:
    case VariantType::kInt32:
    case VariantType::kInt64: return value;
    case VariantType::kCurrency: {
      const auto currency = platform::CurrencyFromDouble(cut(value.ToDouble()));
      return currency ? Variant(*currency) : Variant(cut(value.ToDouble()));
    }
    case VariantType::kDate: return Variant::FromDate(cut(value.ToDouble()));
    case VariantType::kSingle: return Variant(static_cast<float>(cut(value.ToDouble())));
    default: return Variant(cut(NumberOf(value)));
  }
}

// Val: the number at the start of a text, read with a full stop whatever
// the settings; blanks inside are skipped; "&H" and "&O" prefixes work.
Variant Val(const Variant& value) {
  if (IsNull(value)) InvalidUseOfNull();
  std::string digits;
  for (const char c : TextOf(value)) {
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') digits.push_back(c);
  }
  if (digits.size() > 2 && digits[0] == '&' && (digits[1] == 'H' || digits[1] == 'h' || digits[1] == 'O' || digits[1] == 'o')) {
    const int base = digits[1] == 'H' || digits[1] == 'h' ? 16 : 8;
    std::int64_t result = 0;
    for (std::size_t i = 2; i < digits.size(); ++i) {
      const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(digits[i])));
      const int digit = c >= '0' && c <= '9' ? c - '0' : (c >= 'A' && c <= 'F' ? c - 'A' + 10 : 99);
      if (digit >= base || result > (std::int64_t{1} << 40)) break;
      result = result * base + digit;
    }
    return Variant(static_cast<double>(result));
  }
  std::size_t i = 0;
  std::string number;
  if (i < digits.size() && (digits[i] == '+' || digits[i] == '-')) number.push_back(digits[i++]);
  bool any = false;
  while (i < digits.size() && std::isdigit(static_cast<unsigned char>(digits[i]))) {
    number.push_back(digits[i++]);
    any = true;
  }
  if (i < digits.size() && digits[i] == '.') {
    number.push_back(digits[i++]);
    while (i < digits.size() && std::isdigit(static_cast<unsigned char>(digits[i]))) {
      number.push_back(digits[i++]);
      any = true;
    }
  }
  if (any && i < digits.size() && (digits[i] == 'e' || digits[i] == 'E' || digits[i] == 'd' || digits[i] == 'D')) {
    std::string exponent = "e";
    std::size_t j = i + 1;
    if (j < digits.size() && (digits[j] == '+' || digits[j] == '-')) exponent.push_back(digits[j++]);
    bool expDigits = false;
    while (j < digits.size() && std::isdigit(static_cast<unsigned char>(digits[j]))) {
      exponent.push_back(digits[j++]);
      expDigits = true;
    }
    if (expDigits) number += exponent;
  }
  if (!any) return Variant(0.0);
  const double result = std::strtod(number.c_str(), nullptr);
  if (!std::isfinite(result)) RaiseSql(kErrOverflow, "Overflow.");
  return Variant(result);
}

// The C... conversions: Null is not allowed; the variant rules do the rest.
Variant Converted(const Variant& value, VariantType type) {
  if (IsNull(value)) InvalidUseOfNull();
  try {
    return value.ChangeType(type);
  } catch (const platform::ConversionError& error) {
    if (error.GetKind() == platform::ConversionError::Kind::kOverflow) RaiseSql(kErrOverflow, "Overflow.");
    RaiseTypeMismatch();
  }
}

platform::TDateTime DateOf(const Variant& value) {
  try {
    return value.ToDate();
  } catch (const platform::ConversionError&) {
    // Text that the user's settings do not read may still be in the form
    // every setting reads, yyyy-mm-dd, as in CDate('2024-01-31').
    if (const std::string* text = value.StringIf()) {
      if (const auto date = ParseDateLiteral(*text)) return *date;
    }
    RaiseTypeMismatch();
  }
}

Variant DatePart(const Variant& value, int part) {
  if (IsNull(value)) return Variant::Null();
  const platform::TDateTime date = DateOf(value);
  if (!platform::IsValidDateTime(date)) InvalidCall();
  const platform::DateParts d = platform::DecodeDate(date);
  const platform::TimeParts t = platform::DecodeTime(date);
  const int values[] = {d.year, d.month, d.day, t.hour, t.minute, t.second, platform::DayOfWeek(date)};
  return Variant(static_cast<std::int32_t>(values[part]));
}

Variant Round(Args args) {
  if (IsNull(args[0])) return Variant::Null();
  const int digits = args.size() > 1 ? static_cast<int>(CountOf(args[1])) : 0;
  if (digits > 15) return args[0];
  const double scale = std::pow(10.0, digits);
  const double value = NumberOf(args[0]);
  // Half to even on the decimal digits, as VBA's Round.
  const double scaled = value * scale;
  double rounded = std::nearbyint(scaled);
  if (std::fabs(scaled - std::trunc(scaled)) != 0.5) rounded = std::round(scaled);
  const double result = rounded / scale;
  if (args[0].Type() == VariantType::kCurrency) {
    if (const auto currency = platform::CurrencyFromDouble(result)) return Variant(*currency);
  }
  if (digits == 0 && args[0].Type() != VariantType::kDouble && args[0].Type() != VariantType::kSingle &&
      args[0].Type() != VariantType::kString)
    return Whole(result);
  return Variant(result);
}

// InStr([start,] text, sought[, compare]); compare 0 is binary, anything
// else (and no compare) the database's text comparison.
Variant InStr(Args args) {
  std::size_t start = 1;
  Args rest = args;
  if (args.size() >= 3) {
    if (IsNull(args[0])) InvalidUseOfNull();
    start = CountOf(args[0]);
    if (start == 0) InvalidCall();
    rest = args.subspan(1);
  }
  if (IsNull(rest[0]) || IsNull(rest[1])) return Variant::Null();
  const bool binary = rest.size() > 2 && !IsNull(rest[2]) && NumberOf(rest[2]) == 0;
  std::u32string haystack = CodePoints(binary ? TextOf(rest[0]) : platform::AnsiUpperCase(TextOf(rest[0])));
  std::u32string needle = CodePoints(binary ? TextOf(rest[1]) : platform::AnsiUpperCase(TextOf(rest[1])));
  if (start > haystack.size() + 1) return Variant(std::int32_t{0});
  if (needle.empty()) return Variant(static_cast<std::int32_t>(start));
  const std::size_t found = haystack.find(needle, start - 1);
  return Variant(static_cast<std::int32_t>(found == std::u32string::npos ? 0 : found + 1));
}

Variant Mid(Args args) {
  if (IsNull(args[0])) return Variant::Null();
  const std::size_t start = CountOf(args[1]);
  if (start == 0) InvalidCall();
  const std::u32string points = CodePoints(TextOf(args[0]));
  if (start > points.size()) return Variant(std::string());
  const std::size_t length = args.size() > 2 ? CountOf(args[2]) : std::u32string::npos;
  return Variant(Utf8(std::u32string_view(points).substr(start - 1, length)));
}

Variant Trimmed(const Variant& value, bool left, bool right) {
  if (IsNull(value)) return Variant::Null();
  std::string text = TextOf(value);
  std::size_t begin = 0, end = text.size();
  if (left) {
    while (begin < end && text[begin] == ' ') ++begin;
  }
  if (right) {
    while (end > begin && text[end - 1] == ' ') --end;
  }
  return Variant(text.substr(begin, end - begin));
}

Variant Replace(Args args) {
  if (IsNull(args[0])) InvalidUseOfNull();
  const std::string text = TextOf(args[0]);
  if (IsNull(args[1]) || IsNull(args[2])) InvalidUseOfNull();
  const std::string find = TextOf(args[1]);
  const std::string with = TextOf(args[2]);
  if (find.empty()) return Variant(text);
  // Letters match without regard to case, as text comparisons do.
  const std::u32string source = CodePoints(text);
  const std::u32string folded = CodePoints(platform::AnsiUpperCase(text));
  const std::u32string needle = CodePoints(platform::AnsiUpperCase(find));
  if (folded.size() != source.size()) return Variant(text);
  std::string result;
  std::size_t at = 0;
  while (true) {
    const std::size_t found = folded.find(needle, at);
    if (found == std::u32string::npos) break;
    result += Utf8(std::u32string_view(source).substr(at, found - at));
    result += with;
    at = found + needle.size();
  }
  result += Utf8(std::u32string_view(source).substr(at));
  return Variant(std::move(result));
}

Variant DateSerial(Args args) {
  for (const Variant& arg : args) {
    if (IsNull(arg)) InvalidUseOfNull();
  }
  const int year = static_cast<int>(std::nearbyint(NumberOf(args[0])));
  const int month = static_cast<int>(std::nearbyint(NumberOf(args[1])));
  const int day = static_cast<int>(std::nearbyint(NumberOf(args[2])));
  // Months and days beyond their range carry into the next unit.
  const int monthIndex = year * 12 + (month - 1);
  const int y = monthIndex >= 0 ? monthIndex / 12 : (monthIndex - 11) / 12;
  const int m = monthIndex - y * 12 + 1;
  const auto first = platform::TryEncodeDate(y, m, 1);
  if (!first) InvalidCall();
  const double result = *first + (day - 1);
  if (!platform::IsValidDateTime(result)) InvalidCall();
  return Variant::FromDate(result);
}

struct Entry {
  FunctionInfo info;
  Variant (*call)(Args, const TextOrder&);
};

#define SCALAR(name, min, max, ...) \
  Entry { {name, min, max, std::nullopt, false}, [](Args a, const TextOrder& o) -> Variant { (void)o; __VA_ARGS__ } }
#define AGGREGATE(name, kind) \
  Entry { {name, 1, 1, Aggregate::kind, false}, nullptr }

const auto& Functions() {
  static const std::array kFunctions = {
      AGGREGATE("Count", kCount),
      AGGREGATE("Sum", kSum),
      AGGREGATE("Avg", kAvg),
      AGGREGATE("Min", kMin),
      AGGREGATE("Max", kMax),
      AGGREGATE("First", kFirst),
      AGGREGATE("Last", kLast),
      AGGREGATE("StDev", kStDev),
      AGGREGATE("StDevP", kStDevP),
      AGGREGATE("Var", kVar),
      AGGREGATE("VarP", kVarP),
      SCALAR("IIf", 3, 3, { return TruthOf(a[0]) == Truth::kTrue ? a[1] : a[2]; }),
      SCALAR("Nz", 1, 2, {
        if (!IsNull(a[0])) return a[0];
        return a.size() > 1 ? a[1] : Variant(std::string());
      }),
      SCALAR("IsNull", 1, 1, { return Variant(IsNull(a[0])); }),
      SCALAR("Len", 1, 1, {
        if (IsNull(a[0])) return Variant::Null();
        return Variant(static_cast<std::int32_t>(CodePoints(TextOf(a[0])).size()));
      }),
      SCALAR("Left", 2, 2, {
        if (IsNull(a[0])) return Variant::Null();
        return Variant(Utf8(CodePoints(TextOf(a[0])).substr(0, CountOf(a[1]))));
      }),
      SCALAR("Right", 2, 2, {
        if (IsNull(a[0])) return Variant::Null();
        const std::u32string points = CodePoints(TextOf(a[0]));
        const std::size_t count = std::min(CountOf(a[1]), points.size());
        return Variant(Utf8(points.substr(points.size() - count)));
      }),
      SCALAR("Mid", 2, 3, { return Mid(a); }),
      SCALAR("UCase", 1, 1, { return IsNull(a[0]) ? Variant::Null() : Variant(platform::AnsiUpperCase(TextOf(a[0]))); }),
      SCALAR("LCase", 1, 1, { return IsNull(a[0]) ? Variant::Null() : Variant(platform::AnsiLowerCase(TextOf(a[0]))); }),
      SCALAR("Trim", 1, 1, { return Trimmed(a[0], true, true); }),
      SCALAR("LTrim", 1, 1, { return Trimmed(a[0], true, false); }),
      SCALAR("RTrim", 1, 1, { return Trimmed(a[0], false, true); }),
      SCALAR("InStr", 2, 4, { return InStr(a); }),
      SCALAR("Replace", 3, 3, { return Replace(a); }),
      SCALAR("Space", 1, 1, { return Variant(std::string(CountOf(a[0]), ' ')); }),
      SCALAR("StrComp", 2, 3, {
        if (IsNull(a[0]) || IsNull(a[1])) return Variant::Null();
        const bool binary = a.size() > 2 && !IsNull(a[2]) && NumberOf(a[2]) == 0;
        const std::string x = TextOf(a[0]), y = TextOf(a[1]);
        const int order = binary ? x.compare(y) : o.Compare(x, y);
        return Variant(static_cast<std::int32_t>(order < 0 ? -1 : (order > 0 ? 1 : 0)));
      }),
      SCALAR("Asc", 1, 1, {
        if (IsNull(a[0])) InvalidUseOfNull();
        const std::u32string points = CodePoints(TextOf(a[0]));
        if (points.empty()) InvalidCall();
        return Variant(static_cast<std::int32_t>(points[0]));
      }),
      SCALAR("Chr", 1, 1, {
        const std::size_t code = CountOf(a[0]);
        if (code > 0xFFFF) InvalidCall();
        std::string text;
        platform::AppendUtf8(static_cast<char32_t>(code), text);
        return Variant(std::move(text));
      }),
      SCALAR("Int", 1, 1, { return Truncated(a[0], true); }),
      SCALAR("Fix", 1, 1, { return Truncated(a[0], false); }),
      SCALAR("Abs", 1, 1, {
        if (IsNull(a[0])) return Variant::Null();
        if (a[0].Type() == VariantType::kString) return Variant(std::fabs(NumberOf(a[0])));
        return Compare(a[0], Variant(std::int32_t{0}), o).value_or(0) < 0 ? Negate(a[0]) : a[0];
      }),
      SCALAR("Sgn", 1, 1, {
        if (IsNull(a[0])) return Variant::Null();
        const double x = NumberOf(a[0]);
        return Variant(static_cast<std::int32_t>(x < 0 ? -1 : (x > 0 ? 1 : 0)));
      }),
      SCALAR("Sqr", 1, 1, {
        if (IsNull(a[0])) return Variant::Null();
        const double x = NumberOf(a[0]);
        if (x < 0) InvalidCall();
        return Variant(std::sqrt(x));
      }),
      SCALAR("Round", 1, 2, { return Round(a); }),
      SCALAR("Val", 1, 1, { return Val(a[0]); }),
      SCALAR("CStr", 1, 1, { return Converted(a[0], VariantType::kString); }),
      SCALAR("CLng", 1, 1, { return Converted(a[0], VariantType::kInt32); }),
      SCALAR("CInt", 1, 1, { return Converted(a[0], VariantType::kInt16); }),
      SCALAR("CByte", 1, 1, { return Converted(a[0], VariantType::kByte); }),
      SCALAR("CDbl", 1, 1, { return Converted(a[0], VariantType::kDouble); }),
      SCALAR("CSng", 1, 1, { return Converted(a[0], VariantType::kSingle); }),
      SCALAR("CCur", 1, 1, { return Converted(a[0], VariantType::kCurrency); }),
      SCALAR("CBool", 1, 1, {
        if (IsNull(a[0])) InvalidUseOfNull();
        return Variant(TruthOf(a[0]) == Truth::kTrue);
      }),
      SCALAR("CDate", 1, 1, {
        if (IsNull(a[0])) InvalidUseOfNull();
        return Variant::FromDate(DateOf(a[0]));
      }),
      SCALAR("CVar", 1, 1, { return a[0]; }),
      SCALAR("Year", 1, 1, { return DatePart(a[0], 0); }),
      SCALAR("Month", 1, 1, { return DatePart(a[0], 1); }),
      SCALAR("Day", 1, 1, { return DatePart(a[0], 2); }),
      SCALAR("Hour", 1, 1, { return DatePart(a[0], 3); }),
      SCALAR("Minute", 1, 1, { return DatePart(a[0], 4); }),
      SCALAR("Second", 1, 1, { return DatePart(a[0], 5); }),
      SCALAR("Weekday", 1, 1, { return DatePart(a[0], 6); }),
      SCALAR("DateSerial", 3, 3, { return DateSerial(a); }),
      SCALAR("DateValue", 1, 1, {
        if (IsNull(a[0])) InvalidUseOfNull();
        return Variant::FromDate(std::trunc(DateOf(a[0])));
      }),
      Entry{{"Date", 0, 0, std::nullopt, true}, [](Args, const TextOrder&) { return Variant::FromDate(platform::Today()); }},
      Entry{{"Now", 0, 0, std::nullopt, true}, [](Args, const TextOrder&) { return Variant::FromDate(platform::Now()); }},
      Entry{{"Time", 0, 0, std::nullopt, true}, [](Args, const TextOrder&) {
              const platform::TDateTime now = platform::Now();
              return Variant::FromDate(now - std::floor(now));
            }},
  };
  return kFunctions;
}

#undef SCALAR
#undef AGGREGATE

}  // namespace

std::optional<int> FindFunction(std::string_view name) {
  const auto& functions = Functions();
  for (std::size_t i = 0; i < functions.size(); ++i) {
    if (platform::AnsiSameText(functions[i].info.name, name)) return static_cast<int>(i);
  }
  return std::nullopt;
}

const FunctionInfo& FunctionAt(int id) { return Functions()[static_cast<std::size_t>(id)].info; }

int IIfFunction() {
  static const int id = *FindFunction("IIf");
  return id;
}

Variant CallFunction(int id, Args args, const TextOrder& order) {
  return Functions()[static_cast<std::size_t>(id)].call(args, order);
}

void AggregateState::Add(const Variant& value, const TextOrder& order) {
  if (kind_ == Aggregate::kFirst || kind_ == Aggregate::kLast) {
    if (!seen_ || kind_ == Aggregate::kLast) value_ = value;
    seen_ = true;
    return;
  }
  if (IsNull(value)) return;
  ++count_;
  switch (kind_) {
    case Aggregate::kCount: return;
    case Aggregate::kMin:
    case Aggregate::kMax: {
      if (count_ == 1) {
        value_ = value;
      } else {
        const int compared = OrderCompare(value, value_, order);
        if (kind_ == Aggregate::kMin ? compared < 0 : compared > 0) value_ = value;
      }
      return;
    }
    default: {
      const double number = NumberOf(value);
      const VariantType type = value.Type();
      currency_ = (count_ == 1 || currency_) && type == VariantType::kCurrency;
      sum_ += number;
      sumOfSquares_ += static_cast<long double>(number) * number;
      return;
    }
  }
}

Variant AggregateState::Result() const {
  switch (kind_) {
    case Aggregate::kCount: return Variant(static_cast<std::int32_t>(count_));
    case Aggregate::kFirst:
    case Aggregate::kLast: return seen_ ? value_ : Variant::Null();
    case Aggregate::kMin:
    case Aggregate::kMax: return count_ == 0 ? Variant::Null() : value_;
    case Aggregate::kSum: {
      if (count_ == 0) return Variant::Null();
      if (currency_) {
        if (const auto currency = platform::CurrencyFromDouble(static_cast<double>(sum_))) return Variant(*currency);
      }
      return Variant(static_cast<double>(sum_));
    }
    case Aggregate::kAvg: return count_ == 0 ? Variant::Null() : Variant(static_cast<double>(sum_ / count_));
    default: {
      const bool sample = kind_ == Aggregate::kStDev || kind_ == Aggregate::kVar;
      const std::int64_t divisor = sample ? count_ - 1 : count_;
      if (divisor <= 0) return Variant::Null();
      long double variance = (sumOfSquares_ - sum_ * sum_ / count_) / divisor;
      if (variance < 0) variance = 0;
      if (kind_ == Aggregate::kStDev || kind_ == Aggregate::kStDevP) return Variant(static_cast<double>(std::sqrt(variance)));
      return Variant(static_cast<double>(variance));
    }
  }
}

}  // namespace dao::sql
