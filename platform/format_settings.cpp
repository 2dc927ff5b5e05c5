#include "platform/format_settings.h"

#include <utility>

#include "platform/scoped_install.h"
#include "platform/locale_formats.h"

namespace platform {

FormatSettings EnglishUsFormatSettings() {
  FormatSettings settings;  // the defaults are the English (United States) ones
  settings.shortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  settings.longMonthNames = {"January", "February", "March",     "April",   "May",      "June",
                             "July",    "August",   "September", "October", "November", "December"};
  settings.shortDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  settings.longDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                           "Thursday", "Friday", "Saturday"};
  return settings;
}

FormatSettings GermanFormatSettings() {
  FormatSettings settings;
  settings.decimalSeparator = ",";
  settings.thousandsSeparator = ".";
  settings.dateSeparator = ".";
  settings.timeSeparator = ":";
  settings.shortDateFormat = "dd.MM.yyyy";
  settings.longDateFormat = "dddd, d. MMMM yyyy";
  settings.shortTimeFormat = "HH:mm";
  settings.longTimeFormat = "HH:mm:ss";
  settings.amText = "";
  settings.pmText = "";
  settings.shortMonthNames = {"Jan", "Feb", "Mär", "Apr", "Mai", "Jun",
                              "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
  settings.longMonthNames = {"Januar", "Februar", "März",      "April",   "Mai",      "Juni",
                             "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
  settings.shortDayNames = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
  settings.longDayNames = {"Sonntag",    "Montag",  "Dienstag", "Mittwoch",
                           "Donnerstag", "Freitag", "Samstag"};
  settings.currencyString = "€";
  settings.currencyFormat = 3;          // "1 €"
  settings.negativeCurrencyFormat = 8;  // "-1 €"
  settings.currencyDecimals = 2;
  return settings;
}

FormatSettings FormatSettingsOfLocale(const std::string& localeName) {
  FormatSettings settings = EnglishUsFormatSettings();
  detail::ApplyLocaleFormats(localeName, settings);
  return settings;
}

const FormatSettings& CurrentFormatSettings() {
  static const FormatSettings user = FormatSettingsOfLocale("");
  return detail::InstalledOr<const FormatSettings>(user);
}

ScopedFormatSettings::ScopedFormatSettings(FormatSettings settings)
    : settings_(std::move(settings)),
      previous_(std::exchange(detail::InstalledSlot<const FormatSettings>(), &settings_)) {}

ScopedFormatSettings::~ScopedFormatSettings() {
  detail::InstalledSlot<const FormatSettings>() = previous_;
}

}  // namespace platform
