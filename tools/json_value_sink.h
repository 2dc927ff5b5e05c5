#pragma once
// The values of a Jet row as the dump document writes them: whole numbers
// as JSON integers, floating values in their shortest text, dates as
// "YYYY-MM-DD HH:MM:SS.mmm", binary as lower-case hex, and so on. Shared by
// `nutaro dump` and the rows `nutaro query` prints.

#include "dao/jet/column_value.h"
#include "platform/date_time.h"
#include "tools/json_writer.h"

namespace tools {

// A date as the document writes it; a value outside the calendar is shown
// as the number the file holds.
void WriteJsonDate(platform::TDateTime value, JsonWriter& out);

// Column values written to `out`, one JSON value each.
class JsonValueSink final : public dao::jet::ValueSink {
 public:
  explicit JsonValueSink(JsonWriter& out) : out_(out) {}

  void Null() override;
  void Boolean(bool value) override;
  void Byte(std::uint8_t value) override;
  void Integer(std::int16_t value) override;
  void Long(std::int32_t value) override;
  void BigInt(std::int64_t value) override;
  void Currency(std::int64_t scaled) override;
  void Single(float value) override;
  void Double(double value) override;
  void Date(double value) override;
  void Text(std::string_view utf8) override;
  void Binary(dao::jet::Bytes data) override;
  void Guid(const platform::Guid& value) override;
  void Decimal(const platform::Decimal& value) override;

 private:
  JsonWriter& out_;
};

}  // namespace tools
