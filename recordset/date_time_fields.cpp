#include "recordset/date_time_fields.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/errors.h"
#include "recordset/database_error.h"
#include "recordset/messages.h"

namespace recordset {

namespace {

using platform::TDateTime;
using platform::TimeStamp;

constexpr double kMillisecondsPerDay = platform::kMillisecondsPerDay;

// Runs a calendar conversion; a value outside the calendar becomes a
// database error with the platform's message.
template <typename Conversion>
auto Calendar(Conversion conversion) {
  try {
    return conversion();
  } catch (const platform::ConversionError& error) {
    DatabaseError(error.what());
  }
}

std::string DateAndTimeText(TDateTime value) {
  const auto time = platform::DecodeTime(value);
  const bool midnight =
      time.hour == 0 && time.minute == 0 && time.second == 0 && time.millisecond == 0;
  if (midnight) return platform::DateToStr(value);
  return platform::DateToStr(value) + " " + platform::TimeToStr(value);
}

}  // namespace

TDateTimeField::TDateTimeField(std::string fieldName)
    : TDateTimeField(std::move(fieldName), ftDateTime) {}

TDateTimeField::TDateTimeField(std::string fieldName, TFieldType dataType)
    : TField(std::move(fieldName), dataType, 0) {}

std::optional<TDateTime> TDateTimeField::Value() const {
  switch (DataType()) {
    case ftDate: {
      const auto day = ReadNative<std::int32_t>();
      if (!day) return std::nullopt;
      return Calendar([&] { return platform::TimeStampToDateTime(TimeStamp{*day, 0}); });
    }
    case ftTime: {
      const auto milliseconds = ReadNative<std::int32_t>();
      if (!milliseconds) return std::nullopt;
      return *milliseconds / kMillisecondsPerDay;
    }
    default: {
      const auto stamp = ReadNative<double>();
      if (!stamp) return std::nullopt;
      double day = std::floor(*stamp / kMillisecondsPerDay);
      double milliseconds = *stamp - day * kMillisecondsPerDay;
      // A damaged value must not reach the integer conversion; day 0 is
      // refused by the calendar below with its own message.
      if (!std::isfinite(day) || day < 0 || day > std::numeric_limits<std::int32_t>::max()) {
        day = 0;
        milliseconds = 0;
      }
      return Calendar([&] {
        return platform::TimeStampToDateTime(TimeStamp{static_cast<std::int32_t>(day),
                                                       static_cast<std::int32_t>(milliseconds)});
      });
    }
  }
}

void TDateTimeField::SetValue(TDateTime value) {
  const TimeStamp stamp = Calendar([&] { return platform::DateTimeToTimeStamp(value); });
  switch (DataType()) {
    case ftDate:
      WriteNative(stamp.date);
      break;
    case ftTime:
      WriteNative(stamp.time);
      break;
    default:
      WriteNative(static_cast<double>(stamp.date) * kMillisecondsPerDay + stamp.time);
      break;
  }
}

std::string TDateTimeField::GetText(bool display) const {
  const auto value = Value();
  if (!value) return {};
  if (display && !displayFormat_.empty()) return platform::FormatDateTime(displayFormat_, *value);
  switch (DataType()) {
    case ftDate:
      return platform::DateToStr(*value);
    case ftTime:
      return platform::TimeToStr(*value);
    default:
      return DateAndTimeText(*value);
  }
}

void TDateTimeField::SetText(std::string_view text) {
  if (text.empty()) {
    StoreNull();
    return;
  }
  std::optional<TDateTime> value;
  switch (DataType()) {
    case ftDate:
      value = platform::TryParseDate(text);
      break;
    case ftTime:
      value = platform::TryParseTime(text);
      break;
    default:
      value = platform::TryParseDateTime(text);
      break;
  }
  if (!value) InvalidText(messages::kInvalidDateTimeValue, text);
  SetValue(*value);
}

Variant TDateTimeField::GetVariant() const {
  const auto value = Value();
  return value ? Variant::FromDate(*value) : Variant::Null();
}

void TDateTimeField::SetVariant(const Variant& value) { SetValue(value.ToDate()); }

TDateField::TDateField(std::string fieldName) : TDateTimeField(std::move(fieldName), ftDate) {}

TTimeField::TTimeField(std::string fieldName) : TDateTimeField(std::move(fieldName), ftTime) {}

}  // namespace recordset
