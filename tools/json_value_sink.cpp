#include "tools/json_value_sink.h"

#include <cstdio>

#include "platform/decimal.h"
#include "platform/format_settings.h"
#include "platform/guids.h"
#include "tools/hex_text.h"

namespace tools {

void WriteJsonDate(platform::TDateTime value, JsonWriter& out) {
  if (!platform::IsValidDateTime(value)) return out.Double(value);
  const platform::DateParts date = platform::DecodeDate(value);
  const platform::TimeParts time = platform::DecodeTime(value);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", date.year, date.month, date.day, time.hour,
                time.minute, time.second, time.millisecond);
  out.String(text);
}

void JsonValueSink::Null() { out_.Null(); }
void JsonValueSink::Boolean(bool value) { out_.Boolean(value); }
void JsonValueSink::Byte(std::uint8_t value) { out_.Integer(value); }
void JsonValueSink::Integer(std::int16_t value) { out_.Integer(value); }
void JsonValueSink::Long(std::int32_t value) { out_.Integer(value); }
void JsonValueSink::BigInt(std::int64_t value) { out_.Integer(value); }
void JsonValueSink::Currency(std::int64_t scaled) { out_.Currency(scaled); }
void JsonValueSink::Single(float value) { out_.Single(value); }
void JsonValueSink::Double(double value) { out_.Double(value); }
void JsonValueSink::Date(double value) { WriteJsonDate(value, out_); }
void JsonValueSink::Text(std::string_view utf8) { out_.String(utf8); }
void JsonValueSink::Binary(dao::jet::Bytes data) { out_.String(LowerHex(data)); }
void JsonValueSink::Guid(const platform::Guid& value) { out_.String(platform::GuidToString(value)); }
void JsonValueSink::Decimal(const platform::Decimal& value) {
  out_.String(platform::DecimalToText(value, platform::EnglishUsFormatSettings()));
}

}  // namespace tools
