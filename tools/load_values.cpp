#include "tools/load_values.h"

#include <charconv>
#include <optional>
#include <string_view>

#include "platform/hex_digits.h"

namespace tools {
namespace {

constexpr std::size_t kShownValueLength = 40;
constexpr int kCurrencyDecimals = 4;

// Number texts of the document are read with a full stop and no grouping,
// whatever the user's locale says.
const platform::FormatSettings& DocumentNumbers() {
  static const platform::FormatSettings settings = [] {
    platform::FormatSettings plain;
    plain.decimalSeparator = ".";
    plain.thousandsSeparator = "";
    return plain;
  }();
  return settings;
}

[[noreturn]] void Refuse(const JsonScalar& value, const std::string& expected) {
  throw ValueError(ShowValue(value) + " is not " + expected);
}

void ExpectKind(const JsonScalar& value, JsonKind kind, const std::string& expected) {
  if (value.kind != kind) Refuse(value, expected);
}

// A decimal literal as JSON writes numbers: the only text form a string of
// digits may take here (no blanks, no grouping, no "+").
bool IsNumberLiteral(std::string_view text) {
  std::size_t i = 0;
  const auto digits = [&] {
    const std::size_t start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    return i > start;
  };
  if (i < text.size() && text[i] == '-') ++i;
  if (!digits()) return false;
  if (i < text.size() && text[i] == '.') {
    ++i;
    if (!digits()) return false;
  }
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (!digits()) return false;
  }
  return i == text.size();
}

// Reads `count` digits at `pos` of `text`; nothing when they are not all digits.
std::optional<int> Digits(std::string_view text, std::size_t pos, std::size_t count) {
  if (pos + count > text.size()) return std::nullopt;
  int number = 0;
  for (std::size_t i = pos; i < pos + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    number = number * 10 + (text[i] - '0');
  }
  return number;
}

std::optional<platform::TDateTime> ParseDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  const auto year = Digits(text, 0, 4);
  const auto month = Digits(text, 5, 2);
  const auto day = Digits(text, 8, 2);
  if (!year || !month || !day) return std::nullopt;
  return platform::TryEncodeDate(*year, *month, *day);
}

// "HH:MM:SS" with an optional ".mmm".
std::optional<platform::TDateTime> ParseTime(std::string_view text) {
  if ((text.size() != 8 && text.size() != 12) || text[2] != ':' || text[5] != ':') return std::nullopt;
  const auto hour = Digits(text, 0, 2);
  const auto minute = Digits(text, 3, 2);
  const auto second = Digits(text, 6, 2);
  std::optional<int> millisecond = 0;
  if (text.size() == 12) millisecond = text[8] == '.' ? Digits(text, 9, 3) : std::nullopt;
  if (!hour || !minute || !second || !millisecond) return std::nullopt;
  return platform::TryEncodeTime(*hour, *minute, *second, *millisecond);
}

// The nearest value of type T; refused beyond T's range.
template <typename T>
T ReadFloating(const JsonScalar& value, const std::string& typeName) {
  ExpectKind(value, JsonKind::Number, "a number");
  T number = 0;
  const char* end = value.text.data() + value.text.size();
  const auto [stop, error] = std::from_chars(value.text.data(), end, number);
  if (error != std::errc() || stop != end) Refuse(value, "within the range of a " + typeName);
  return number;
}

}  // namespace

std::string ShowValue(const JsonScalar& value) {
  switch (value.kind) {
    case JsonKind::Null: return "null";
    case JsonKind::Boolean: return value.boolean ? "true" : "false";
    case JsonKind::Number: return value.text;
    case JsonKind::String: {
      if (value.text.size() <= kShownValueLength) return "\"" + value.text + "\"";
      std::size_t cut = kShownValueLength;
      // Cut at a character boundary.
      while (cut > 0 && (static_cast<unsigned char>(value.text[cut]) & 0xC0) == 0x80) --cut;
      return "\"" + value.text.substr(0, cut) + "...\" (" + std::to_string(value.text.size()) + " bytes)";
    }
    default: return JsonKindName(value.kind);
  }
}

std::int64_t ReadInteger(const JsonScalar& value, std::int64_t minimum, std::int64_t maximum) {
  const std::string range = "a whole number from " + std::to_string(minimum) + " to " + std::to_string(maximum);
  ExpectKind(value, JsonKind::Number, range);
  std::int64_t number = 0;
  const char* end = value.text.data() + value.text.size();
  const auto [stop, error] = std::from_chars(value.text.data(), end, number);
  if (error != std::errc() || stop != end || number < minimum || number > maximum) Refuse(value, range);
  return number;
}

double ReadDouble(const JsonScalar& value) { return ReadFloating<double>(value, "Double"); }

float ReadSingle(const JsonScalar& value) { return ReadFloating<float>(value, "Single"); }

bool ReadBoolean(const JsonScalar& value) {
  ExpectKind(value, JsonKind::Boolean, "true or false");
  return value.boolean;
}

platform::Currency ReadCurrency(const JsonScalar& value) {
  ExpectKind(value, JsonKind::Number, "a number");
  // The exact decimal tells whether rounding to four places would change it.
  const auto exact = platform::TryParseDecimal(value.text, DocumentNumbers());
  const auto currency = platform::TryParseCurrency(value.text, DocumentNumbers());
  if (!exact || !currency) Refuse(value, "within the range of a Currency");
  platform::Decimal scaled;
  scaled.negative = currency->scaled < 0;
  // The magnitude in unsigned arithmetic: the smallest amount has no
  // positive counterpart.
  const auto bits = static_cast<std::uint64_t>(currency->scaled);
  scaled.low = scaled.negative ? 0 - bits : bits;
  scaled.scale = kCurrencyDecimals;
  if (!(scaled == *exact)) Refuse(value, "a Currency amount (at most four decimals)");
  return *currency;
}

platform::Decimal ReadDecimal(const JsonScalar& value) {
  if ((value.kind != JsonKind::String && value.kind != JsonKind::Number) || !IsNumberLiteral(value.text)) {
    Refuse(value, "a decimal number written as a string of digits");
  }
  const auto number = platform::TryParseDecimal(value.text, DocumentNumbers());
  if (!number) Refuse(value, "within the range of a Decimal");
  return *number;
}

platform::TDateTime ReadDateTime(const JsonScalar& value) {
  const char* expected = "a date and time \"YYYY-MM-DD HH:MM:SS.mmm\"";
  ExpectKind(value, JsonKind::String, expected);
  const std::string_view text = value.text;
  const auto date = ParseDate(text.substr(0, 10));
  if (!date) Refuse(value, expected);
  if (text.size() == 10) return *date;
  const auto time = text[10] == ' ' ? ParseTime(text.substr(11)) : std::nullopt;
  if (!time) Refuse(value, expected);
  return platform::CombineDateTime(*date, *time);
}

platform::TDateTime ReadDate(const JsonScalar& value) {
  const char* expected = "a date \"YYYY-MM-DD\"";
  ExpectKind(value, JsonKind::String, expected);
  const auto date = ParseDate(value.text);
  if (!date) Refuse(value, expected);
  return *date;
}

platform::TDateTime ReadTime(const JsonScalar& value) {
  const char* expected = "a time of day \"HH:MM:SS.mmm\"";
  ExpectKind(value, JsonKind::String, expected);
  const auto time = ParseTime(value.text);
  if (!time) Refuse(value, expected);
  return *time;
}

platform::Bytes ReadHex(const JsonScalar& value) {
  const char* expected = "binary data written as a string of hex digits";
  ExpectKind(value, JsonKind::String, expected);
  const std::string& text = value.text;
  if (text.size() % 2 != 0) Refuse(value, expected);
  platform::Bytes bytes(text.size() / 2);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const int high = platform::HexDigitValue(text[2 * i]);
    const int low = platform::HexDigitValue(text[2 * i + 1]);
    if (high < 0 || low < 0) Refuse(value, expected);
    bytes[i] = static_cast<std::uint8_t>(high * 16 + low);
  }
  return bytes;
}

platform::Guid ReadGuid(const JsonScalar& value) {
  const char* expected = "a GUID \"{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}\"";
  ExpectKind(value, JsonKind::String, expected);
  const auto guid = platform::TryParseGuid(value.text);
  if (!guid) Refuse(value, expected);
  return *guid;
}

const std::string& ReadText(const JsonScalar& value) {
  ExpectKind(value, JsonKind::String, "a string");
  return value.text;
}

}  // namespace tools
