// Dates and times as text: formatting by pattern and parsing by the short
// date order of the FormatSettings.

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/clock.h"
#include "platform/date_time.h"
#include "platform/text_case.h"
#include "platform/utf8.h"

namespace platform {
namespace {

std::string TwoDigits(int value) {
  return (value < 10 ? "0" : "") + std::to_string(value);
}

std::string Padded(int value, std::size_t width) {
  std::string text = std::to_string(value);
  if (text.size() < width) text.insert(0, width - text.size(), '0');
  return text;
}

// The first character (code point) of a UTF-8 text.
std::string FirstCharacter(const std::string& text) {
  if (text.empty()) return text;
  std::size_t pos = 0;
  char32_t codePoint = 0;
  NextCodePoint(text, pos, codePoint);
  return text.substr(0, pos);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// A run of decimal digits (at most 9); nullopt for anything else.
std::optional<int> Digits(std::string_view text) {
  text = Trim(text);
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// Splits at every occurrence of any of the separators.
std::vector<std::string_view> SplitAny(std::string_view text,
                                       const std::vector<std::string>& separators) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t matched = 0;
    for (const auto& separator : separators) {
      if (!separator.empty() && text.substr(pos).starts_with(separator)) {
        matched = separator.size();
        break;
      }
    }
    if (matched == 0) {
      ++pos;
      continue;
    }
    parts.push_back(text.substr(start, pos - start));
    pos += matched;
    start = pos;
  }
  parts.push_back(text.substr(start));
  return parts;
}

// The order of day, month and year in the short date format, e.g. "dMy".
std::string DateOrder(const FormatSettings& settings) {
  const std::string& format = settings.shortDateFormat;
  std::vector<std::pair<std::size_t, char>> positions;
  for (char letter : {'d', 'M', 'y'}) {
    const auto pos = format.find(letter);
    positions.emplace_back(pos == std::string::npos ? format.size() + positions.size() : pos,
                           letter);
  }
  std::sort(positions.begin(), positions.end());
  std::string order;
  for (const auto& [pos, letter] : positions) order += letter;
  return order;
}

int ExpandYear(std::string_view text, int year, const FormatSettings& settings) {
  if (Trim(text).size() > 2) return year;
  return year <= settings.twoDigitYearMax ? 2000 + year : 1900 + year;
}

}  // namespace

std::string FormatDateTime(std::string_view pattern, TDateTime value,
                           const FormatSettings& settings) {
  const DateParts date = DecodeDate(value);
  const TimeParts time = DecodeTime(value);
  const int weekday = DayOfWeek(value) - 1;
  const std::string& amPm = time.hour < 12 ? settings.amText : settings.pmText;
  std::string out;
  for (std::size_t i = 0; i < pattern.size();) {
    const char c = pattern[i];
    if (c == '\'' || c == '"') {
      const auto close = pattern.find(c, i + 1);
      const auto end = close == std::string_view::npos ? pattern.size() : close;
      out.append(pattern.substr(i + 1, end - i - 1));
      i = end + 1;
      continue;
    }
    std::size_t run = 1;
    while (i + run < pattern.size() && pattern[i + run] == c) ++run;
    switch (c) {
      case 'd':
        out += run == 1   ? std::to_string(date.day)
               : run == 2 ? TwoDigits(date.day)
               : run == 3 ? settings.shortDayNames[weekday]
                          : settings.longDayNames[weekday];
        break;
      case 'M':
        out += run == 1   ? std::to_string(date.month)
               : run == 2 ? TwoDigits(date.month)
               : run == 3 ? settings.shortMonthNames[date.month - 1]
                          : settings.longMonthNames[date.month - 1];
        break;
      case 'y':
        out += run <= 2 ? TwoDigits(date.year % 100) : Padded(date.year, 4);
        break;
      case 'H':
        out += run == 1 ? std::to_string(time.hour) : TwoDigits(time.hour);
        break;
      case 'h': {
        const int hour12 = time.hour % 12 == 0 ? 12 : time.hour % 12;
        out += run == 1 ? std::to_string(hour12) : TwoDigits(hour12);
        break;
      }
      case 'm':
        out += run == 1 ? std::to_string(time.minute) : TwoDigits(time.minute);
        break;
      case 's':
        out += run == 1 ? std::to_string(time.second) : TwoDigits(time.second);
        break;
      case 'f':
        out += Padded(time.millisecond, 3).substr(0, std::min<std::size_t>(run, 3));
        break;
      case 't':
        out += run == 1 ? FirstCharacter(amPm) : amPm;
        break;
      default:
        out.append(run, c);
        break;
    }
    i += run;
  }
  return out;
}

std::string DateToStr(TDateTime value, const FormatSettings& settings) {
  return FormatDateTime(settings.shortDateFormat, value, settings);
}

std::string TimeToStr(TDateTime value, const FormatSettings& settings) {
  return FormatDateTime(settings.longTimeFormat, value, settings);
}

std::string DateTimeToStr(TDateTime value, const FormatSettings& settings) {
  const TimeStamp stamp = DateTimeToTimeStamp(value);
  if (stamp.date == kDayNumberOfDateZero) return TimeToStr(value, settings);
  if (stamp.time == 0) return DateToStr(value, settings);
  return DateToStr(value, settings) + " " + TimeToStr(value, settings);
}

std::optional<TDateTime> TryParseDate(std::string_view text, const FormatSettings& settings) {
  const std::vector<std::string_view> parts =
      SplitAny(Trim(text), {settings.dateSeparator, "/", "-", "."});
  if (parts.size() < 2 || parts.size() > 3) return std::nullopt;
  std::vector<int> values;
  for (auto part : parts) {
    const auto value = Digits(part);
    if (!value) return std::nullopt;
    values.push_back(*value);
  }
  std::string order = DateOrder(settings);
  int year = 0;
  if (parts.size() == 2) {
    order.erase(order.find('y'), 1);
    year = DecodeDate(Today()).year;
  }
  int month = 0;
  int day = 0;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    switch (order[i]) {
      case 'd': day = values[i]; break;
      case 'M': month = values[i]; break;
      default: year = ExpandYear(parts[i], values[i], settings); break;
    }
  }
  return TryEncodeDate(year, month, day);
}

std::optional<TDateTime> TryParseTime(std::string_view text, const FormatSettings& settings) {
  text = Trim(text);
  // An AM/PM text before or after the time.
  int halfDay = -1;  // -1 none, 0 AM, 1 PM
  const std::string upper = AnsiUpperCase(text);
  const std::string markers[4] = {AnsiUpperCase(settings.amText), AnsiUpperCase(settings.pmText),
                                  "AM", "PM"};
  for (int i = 0; i < 4 && halfDay < 0; ++i) {
    const std::string& marker = markers[i];
    if (marker.empty() || upper.size() <= marker.size()) continue;
    if (upper.ends_with(marker)) {
      text = Trim(text.substr(0, text.size() - marker.size()));
      halfDay = i % 2;
    } else if (upper.starts_with(marker)) {
      text = Trim(text.substr(marker.size()));
      halfDay = i % 2;
    }
  }
  const std::vector<std::string_view> parts = SplitAny(text, {settings.timeSeparator, ":"});
  if (parts.size() > 3 || (parts.size() == 1 && halfDay < 0)) return std::nullopt;
  const auto hour = Digits(parts[0]);
  const auto minute = parts.size() > 1 ? Digits(parts[1]) : std::optional<int>(0);
  if (!hour || !minute) return std::nullopt;
  int second = 0;
  int millisecond = 0;
  if (parts.size() == 3) {
    // Seconds may carry a fraction after the decimal separator or a full stop.
    std::string_view secondsText = parts[2];
    const auto point = secondsText.find_first_of(".,");
    if (point != std::string_view::npos) {
      const std::string_view fraction = secondsText.substr(point + 1);
      const auto digits = Digits(fraction);
      if (!digits || fraction.size() > 3) return std::nullopt;
      millisecond = *digits * (fraction.size() == 1 ? 100 : fraction.size() == 2 ? 10 : 1);
      secondsText = secondsText.substr(0, point);
    }
    const auto seconds = Digits(secondsText);
    if (!seconds) return std::nullopt;
    second = *seconds;
  }
  int hour24 = *hour;
  if (halfDay >= 0) {
    if (hour24 < 1 || hour24 > 12) return std::nullopt;
    hour24 = hour24 % 12 + (halfDay == 1 ? 12 : 0);
  }
  return TryEncodeTime(hour24, *minute, second, millisecond);
}

std::optional<TDateTime> TryParseDateTime(std::string_view text, const FormatSettings& settings) {
  text = Trim(text);
  if (auto date = TryParseDate(text, settings)) return date;
  if (auto time = TryParseTime(text, settings)) return time;
  // Date parts may themselves contain blanks ("12. 3. 2007 14:05"), so try
  // every blank from the right as the boundary.
  for (std::size_t pos = text.rfind(' '); pos != std::string_view::npos && pos > 0;
       pos = text.rfind(' ', pos - 1)) {
    const auto date = TryParseDate(text.substr(0, pos), settings);
    const auto time = TryParseTime(text.substr(pos + 1), settings);
    if (date && time) return CombineDateTime(*date, *time);
  }
  return std::nullopt;
}

}  // namespace platform
