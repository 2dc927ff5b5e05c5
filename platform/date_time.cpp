#include "platform/date_time.h"

#include <cmath>

#include "platform/errors.h"

namespace platform {
namespace {

// Day counts of the proleptic Gregorian calendar (from 1 March of year 0),
// made relative to 30 December 1899 below.
constexpr long DaysFromCivil(int year, int month, int day) {
  year -= month <= 2;
  const long era = (year >= 0 ? year : year - 399) / 400;
  const long yearOfEra = year - era * 400;
  const long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146'097 + dayOfEra;
}

constexpr long kDaysFromCivilOfDateZero = DaysFromCivil(1899, 12, 30);

DateParts CivilFromDays(long days) {
  const long era = (days >= 0 ? days : days - 146'096) / 146'097;
  const long dayOfEra = days - era * 146'097;
  const long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
  const long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const long monthIndex = (5 * dayOfYear + 2) / 153;
  DateParts parts;
  parts.day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  parts.month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  parts.year = static_cast<int>(yearOfEra + era * 400 + (parts.month <= 2));
  return parts;
}

[[noreturn]] void ThrowInvalid(const std::string& what) {
  throw ConversionError(ConversionError::Kind::kInvalidDateTime, what);
}

std::string InvalidValueMessage(TDateTime value) {
  return "'" + std::to_string(value) + "' ist kein gültiger Datums- und Zeitwert";
}

// Whole days and milliseconds of a valid value, with the Access convention
// for negative values and a millisecond carry into the next calendar day.
struct DayAndTime {
  long day;
  std::int64_t milliseconds;
};

DayAndTime Split(TDateTime value) {
  if (!IsValidDateTime(value)) ThrowInvalid(InvalidValueMessage(value));
  const double whole = std::trunc(value);
  long day = static_cast<long>(whole);
  auto milliseconds = static_cast<std::int64_t>(std::llround(std::fabs(value - whole) * kMillisecondsPerDay));
  if (milliseconds >= kMillisecondsPerDay) {
    milliseconds -= kMillisecondsPerDay;
    ++day;
  }
  return {day, milliseconds};
}

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::optional<TDateTime> TryEncodeDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month)) {
    return std::nullopt;
  }
  return static_cast<TDateTime>(DaysFromCivil(year, month, day) - kDaysFromCivilOfDateZero);
}

std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second, int millisecond) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
      millisecond < 0 || millisecond > 999) {
    return std::nullopt;
  }
  const std::int64_t total = ((hour * 60LL + minute) * 60 + second) * 1000 + millisecond;
  return static_cast<TDateTime>(total) / kMillisecondsPerDay;
}

TDateTime EncodeDate(int year, int month, int day) {
  if (auto value = TryEncodeDate(year, month, day)) return *value;
  ThrowInvalid("Ungültiges Argument für Datumskodierung");
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
  if (auto value = TryEncodeTime(hour, minute, second, millisecond)) return *value;
  ThrowInvalid("Ungültiges Argument für Zeitkodierung");
}

TDateTime CombineDateTime(TDateTime date, TDateTime time) {
  return date < 0 ? date - time : date + time;
}

bool IsValidDateTime(TDateTime value) {
  // Before day 0 the time of day counts away from zero, so the whole of
  // 1 January 0001 lies between kMinDateTime - 1 (exclusive) and kMinDateTime.
  return std::isfinite(value) && value > kMinDateTime - 1.0 && value < kMaxDateTime + 1e-8;
}

DateParts DecodeDate(TDateTime value) {
  return CivilFromDays(Split(value).day + kDaysFromCivilOfDateZero);
}

TimeParts DecodeTime(TDateTime value) {
  std::int64_t ms = Split(value).milliseconds;
  TimeParts parts;
  parts.millisecond = static_cast<int>(ms % 1000);
  ms /= 1000;
  parts.second = static_cast<int>(ms % 60);
  ms /= 60;
  parts.minute = static_cast<int>(ms % 60);
  parts.hour = static_cast<int>(ms / 60);
  return parts;
}

int DayOfWeek(TDateTime value) {
  const long day = Split(value).day;
  return static_cast<int>(((day % 7) + 7 + 6) % 7) + 1;  // day 0 was a Saturday
}

TimeStamp DateTimeToTimeStamp(TDateTime value) {
  const DayAndTime split = Split(value);
  return {static_cast<std::int32_t>(split.day + kDayNumberOfDateZero),
          static_cast<std::int32_t>(split.milliseconds)};
}

TDateTime TimeStampToDateTime(TimeStamp stamp) {
  if (stamp.date < kFirstDayNumber || stamp.date > kLastDayNumber || stamp.time < 0 ||
      stamp.time >= kMillisecondsPerDay) {
    ThrowInvalid("'" + std::to_string(stamp.date) + "." + std::to_string(stamp.time) +
                 "' ist kein gültiger Zeitstempel");
  }
  return CombineDateTime(static_cast<TDateTime>(stamp.date - kDayNumberOfDateZero),
                         static_cast<TDateTime>(stamp.time) / kMillisecondsPerDay);
}

}  // namespace platform
