#include "access/sql_literals.h"

#include <cstdio>

#include "platform/codepage.h"
#include "platform/format_settings.h"
#include "platform/guids.h"
#include "platform/utf8.h"

namespace accessdb {

std::string QuotedSqlText(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string SqlNumberText(std::string_view text) {
  const platform::FormatSettings& settings = platform::CurrentFormatSettings();
  const std::string_view decimal = settings.decimalSeparator;
  const std::string_view thousands = settings.thousandsSeparator;
  // One pass over the text: in German the thousands separator is the
  // decimal point, so replacing first and removing after would lose it.
  std::string number;
  for (std::size_t i = 0; i < text.size();) {
    const std::string_view rest = text.substr(i);
    if (!decimal.empty() && rest.starts_with(decimal)) {
      number += '.';
      i += decimal.size();
    } else if (!thousands.empty() && rest.starts_with(thousands)) {
      i += thousands.size();
    } else {
      number += text[i++];
    }
  }
  return number;
}

std::string SqlDateLiteral(recordset::TFieldType type, platform::TDateTime value) {
  char text[32];
  const platform::DateParts date = platform::DecodeDate(value);
  const platform::TimeParts time = platform::DecodeTime(value);
  switch (type) {
    case recordset::ftDate:
      std::snprintf(text, sizeof text, "#%02d/%02d/%04d#", date.month, date.day, date.year);
      break;
    case recordset::ftTime:
      std::snprintf(text, sizeof text, "#%02d:%02d:%02d#", time.hour, time.minute, time.second);
      break;
    default:
      std::snprintf(text, sizeof text, "#%02d/%02d/%04d %02d:%02d:%02d#", date.month, date.day, date.year, time.hour,
                    time.minute, time.second);
      break;
  }
  return text;
}

std::string SqlGuidLiteral(const platform::Variant& value) {
  platform::Guid guid;
  if (value.Type() == platform::VariantType::kGuid) {
    guid = value.ToGuid();
  } else if (const platform::Bytes bytes = value.ToBytes(); bytes.size() == guid.bytes.size()) {
    std::copy(bytes.begin(), bytes.end(), guid.bytes.begin());
  }
  return "{guid " + (guid.IsNull() ? std::string() : platform::GuidToString(guid)) + "}";
}

namespace {

// Whether the character is a letter or a digit as the ANSI code pages
// classify them: the Latin-1 block by its table (ª µ º and the superscript
// digits count, × and ÷ do not), other letters of the code pages (Š, Œ,
// Greek, Cyrillic, ...) as letters, the punctuation and symbols of the
// U+2000 blocks (quotes, dashes, €, ™, №) not.
bool IsAlphaNumeric(char32_t c) {
  if (c < 0x80) return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  if (c < 0xC0) return c == 0xAA || c == 0xB2 || c == 0xB3 || c == 0xB5 || c == 0xB9 || c == 0xBA;
  if (c < 0x100) return c != 0xD7 && c != 0xF7;
  return (c < 0x2000 || c > 0x2BFF) && c != platform::kReplacementCharacter;
}

}  // namespace

std::u32string IdentifierCharsOfAnsiCodePage() {
  std::u32string chars = U"_";
  for (int code = 32; code <= 255; ++code) {
    const std::string utf8 = platform::AnsiToUtf8(std::string(1, static_cast<char>(code)));
    std::size_t position = 0;
    char32_t c = 0;
    if (platform::NextCodePoint(utf8, position, c) && IsAlphaNumeric(c)) chars += c;
  }
  return chars;
}

}  // namespace accessdb
