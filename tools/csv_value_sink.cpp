#include "tools/csv_value_sink.h"

#include <cmath>
#include <cstdio>

#include "platform/date_time.h"
#include "platform/decimal.h"
#include "platform/format_settings.h"
#include "platform/guids.h"
#include "tools/hex_text.h"

namespace tools {
namespace {

// "%Y-%m-%d %H:%M:%S" of the date, rounded to the second as mdb-export
// rounds it; a value outside the calendar is shown as its number.
std::string DateText(double value) {
  if (!platform::IsValidDateTime(value)) {
    char number[32];
    std::snprintf(number, sizeof number, "%.16g", value);
    return number;
  }
  const double day = std::trunc(value);
  const double seconds = std::round(std::fabs(value - day) * 86400.0);
  const double rounded = day + std::copysign(seconds / 86400.0, value);
  const platform::DateParts date = platform::DecodeDate(rounded);
  const platform::TimeParts time = platform::DecodeTime(rounded);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", date.year, date.month, date.day, time.hour,
                time.minute, time.second);
  return text;
}

}  // namespace

void CsvValueSink::Separate() {
  if (fields_++ != 0) line_ += ',';
}

void CsvValueSink::Bare(std::string_view text) {
  Separate();
  line_ += text;
}

void CsvValueSink::Quoted(std::string_view text) {
  Separate();
  line_ += '"';
  for (const char c : text) {
    if (c == '"') line_ += '"';
    line_ += c;
  }
  line_ += '"';
}

void CsvValueSink::Null() { Separate(); }
void CsvValueSink::Boolean(bool value) { Bare(value ? "1" : "0"); }
void CsvValueSink::Byte(std::uint8_t value) { Bare(std::to_string(value)); }
void CsvValueSink::Integer(std::int16_t value) { Bare(std::to_string(value)); }
void CsvValueSink::Long(std::int32_t value) { Bare(std::to_string(value)); }
void CsvValueSink::BigInt(std::int64_t value) { Bare(std::to_string(value)); }

void CsvValueSink::Currency(std::int64_t scaled) {
  const std::uint64_t magnitude = scaled < 0 ? 0 - static_cast<std::uint64_t>(scaled) : scaled;
  char text[32];
  std::snprintf(text, sizeof text, "%s%llu.%04llu", scaled < 0 ? "-" : "",
                static_cast<unsigned long long>(magnitude / 10000), static_cast<unsigned long long>(magnitude % 10000));
  Bare(text);
}

void CsvValueSink::Single(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.8g", static_cast<double>(value));
  Bare(text);
}

void CsvValueSink::Double(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.16g", value);
  Bare(text);
}

void CsvValueSink::Date(double value) { Quoted(DateText(value)); }
void CsvValueSink::Text(std::string_view utf8) { Quoted(utf8); }

void CsvValueSink::Binary(dao::jet::Bytes data) { Quoted(UpperHex(data)); }

void CsvValueSink::Guid(const platform::Guid& value) { Quoted(platform::GuidToString(value)); }

void CsvValueSink::Decimal(const platform::Decimal& value) {
  Bare(platform::DecimalToText(value, platform::EnglishUsFormatSettings()));
}

std::string CsvHeader(const std::vector<std::string>& names) {
  std::string line;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i != 0) line += ',';
    line += names[i];
  }
  return line;
}

}  // namespace tools
