#pragma once

// Dates and times as the Windows world keeps them: TDateTime is a double
// counting days since 30 December 1899 (day 0); its fraction is the time of
// day. Before day 0 Access keeps the whole days and the time of day apart:
// -1.25 is 29 December 1899, 06:00 (day -1 and a quarter day), not 28
// December 18:00. Every function here follows that convention. The calendar
// is the proleptic Gregorian one, years 1 to 9999.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/format_settings.h"

namespace platform {

using TDateTime = double;

inline constexpr std::int32_t kMillisecondsPerDay = 86'400'000;
// Day number of 30 December 1899 when 1 January of year 1 is day 1 (the
// day numbering of table files and time stamps).
inline constexpr std::int32_t kDayNumberOfDateZero = 693'594;
// The first and last day of that numbering: 1 January 0001, 31 December 9999.
inline constexpr std::int32_t kFirstDayNumber = 1;
inline constexpr std::int32_t kLastDayNumber = 3'652'059;
inline constexpr TDateTime kMinDateTime = -693'593.0;           // 1 January 0001
inline constexpr TDateTime kMaxDateTime = 2'958'465.99999999;  // 31 December 9999

struct DateParts {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
};

struct TimeParts {
  int hour = 0;  // 0..23
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// A day number (1 January 0001 = 1) and the milliseconds since midnight.
struct TimeStamp {
  std::int32_t date = 0;
  std::int32_t time = 0;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// nullopt when the parts do not form a calendar date / time of day.
std::optional<TDateTime> TryEncodeDate(int year, int month, int day);
std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second, int millisecond);

// As the Try forms; throw ConversionError(kInvalidDateTime) on invalid parts.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);

// Joins a whole-day date and a time of day (0 <= time < 1), keeping the
// Access convention for days before day 0.
TDateTime CombineDateTime(TDateTime date, TDateTime time);

// True for finite values within years 1..9999 (any time of day on
// 1 January 0001 included).
bool IsValidDateTime(TDateTime value);

// The parts of a value; the time is rounded to the nearest millisecond (a
// value within half a millisecond of midnight belongs to the next day).
// Throw ConversionError(kInvalidDateTime) when !IsValidDateTime(value).
DateParts DecodeDate(TDateTime value);
TimeParts DecodeTime(TDateTime value);

// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime value);

// Whole days and milliseconds, rounded to the millisecond; throws
// ConversionError(kInvalidDateTime) for an invalid value.
TimeStamp DateTimeToTimeStamp(TDateTime value);
// Throws ConversionError(kInvalidDateTime) for a day number below 1, beyond
// 9999-12-31, or a time outside 0 .. 86,399,999 ms.
TDateTime TimeStampToDateTime(TimeStamp stamp);

// Formats by a pattern (letters as described in format_settings.h).
std::string FormatDateTime(std::string_view pattern, TDateTime value,
                           const FormatSettings& settings = CurrentFormatSettings());

// The short date format.
std::string DateToStr(TDateTime value, const FormatSettings& settings = CurrentFormatSettings());
// The long time format.
std::string TimeToStr(TDateTime value, const FormatSettings& settings = CurrentFormatSettings());
// Short date and long time joined by a blank; the date alone at midnight and
// the time alone on day 0 (a time without a date), as variant texts do.
std::string DateTimeToStr(TDateTime value,
                          const FormatSettings& settings = CurrentFormatSettings());

// Reads a date in the order of the short date format (day-month-year,
// month-day-year or year-month-day), its parts separated by the date
// separator; blanks around the text are allowed. Two parts give a date in
// the current year; two-digit years follow settings.twoDigitYearMax.
std::optional<TDateTime> TryParseDate(std::string_view text,
                                      const FormatSettings& settings = CurrentFormatSettings());

// Reads hours:minutes[:seconds[.milliseconds]] with the time separator (or
// ":") and an optional AM/PM text (the settings' texts, "AM" or "PM", any
// case) before or after it; with an AM/PM text the hour alone suffices.
std::optional<TDateTime> TryParseTime(std::string_view text,
                                      const FormatSettings& settings = CurrentFormatSettings());

// Reads a date, a time, or a date followed by blanks and a time.
std::optional<TDateTime> TryParseDateTime(std::string_view text,
                                          const FormatSettings& settings = CurrentFormatSettings());

}  // namespace platform
