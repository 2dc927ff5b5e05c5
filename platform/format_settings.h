#pragma once

// The user's number, date, time and currency formats. Read once from the
// user's locale (LC_NUMERIC, LC_TIME, LC_MONETARY) the first time they are
// asked for; tests replace them with ScopedFormatSettings. Nothing else in
// the program reads the C locale, so formatting never depends on setlocale.
//
// Date and time patterns use these letters (everything else is copied; text
// in '...' or "..." is copied without the quotes):
//   d dd ddd dddd   day; two digits; short day name; long day name
//   M MM MMM MMMM   month; two digits; short month name; long month name
//   yy yyyy         two-digit year; four-digit year
//   H HH h hh       hour 0-23; two digits; hour 1-12; two digits
//   m mm s ss       minute; second (one or two digits)
//   fff             milliseconds, three digits
//   t tt            first character of / whole AM-PM text

#include <array>
#include <string>

namespace platform {

struct FormatSettings {
  std::string decimalSeparator = ".";
  std::string thousandsSeparator = ",";
  std::string dateSeparator = "/";
  std::string timeSeparator = ":";
  std::string shortDateFormat = "M/d/yyyy";
  std::string longDateFormat = "dddd, MMMM d, yyyy";
  std::string shortTimeFormat = "h:mm tt";
  std::string longTimeFormat = "h:mm:ss tt";
  std::string amText = "AM";
  std::string pmText = "PM";
  std::array<std::string, 12> shortMonthNames{};  // January first
  std::array<std::string, 12> longMonthNames{};
  std::array<std::string, 7> shortDayNames{};  // Sunday first
  std::array<std::string, 7> longDayNames{};
  std::string currencyString = "$";
  // Placement of the currency string around a positive amount:
  // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $".
  int currencyFormat = 0;
  // Negative amounts, by the usual Windows numbering 0..15:
  // 0 "($1)", 1 "-$1", 2 "$-1", 3 "$1-", 4 "(1$)", 5 "-1$", 6 "1-$", 7 "1$-",
  // 8 "-1 $", 9 "-$ 1", 10 "1 $-", 11 "$ 1-", 12 "$ -1", 13 "1- $",
  // 14 "($ 1)", 15 "(1 $)".
  int negativeCurrencyFormat = 1;
  int currencyDecimals = 2;
  // Years written with two digits are read as 1930..2029 by default: a
  // two-digit year up to this value belongs to the 2000s.
  int twoDigitYearMax = 29;
};

// English (United States): full stop, "M/d/yyyy", 12-hour clock, "$".
FormatSettings EnglishUsFormatSettings();

// German (Germany): comma, "dd.MM.yyyy", 24-hour clock, "€" after the amount.
FormatSettings GermanFormatSettings();

// The settings in force: the innermost ScopedFormatSettings, otherwise the
// user's locale (read once; a "C"/"POSIX" locale gives the English preset).
const FormatSettings& CurrentFormatSettings();

// Reads the settings of a named locale ("" = the user's locale from the
// environment). Returns the English preset when the locale is unknown or C.
FormatSettings FormatSettingsOfLocale(const std::string& localeName);

// Installs `settings` as CurrentFormatSettings() for its lifetime (tests).
// Scopes nest; they must be destroyed in reverse order of creation.
class ScopedFormatSettings {
 public:
  explicit ScopedFormatSettings(FormatSettings settings);
  ~ScopedFormatSettings();
  ScopedFormatSettings(const ScopedFormatSettings&) = delete;
  ScopedFormatSettings& operator=(const ScopedFormatSettings&) = delete;

 private:
  FormatSettings settings_;
  const FormatSettings* previous_;
};

}  // namespace platform
