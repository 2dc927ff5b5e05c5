#include "platform/locale_formats.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cctype>
#include <cstring>

#include "platform/name_list.h"

namespace platform::detail {
namespace {

// A glibc locale object; freed when it goes away.
class Locale {
 public:
  Locale(int mask, const std::string& name)
      : locale_(newlocale(mask, name.c_str(), static_cast<locale_t>(nullptr))) {}
  ~Locale() {
    if (locale_ != nullptr) freelocale(locale_);
  }
  Locale(const Locale&) = delete;
  Locale& operator=(const Locale&) = delete;

  bool Loaded() const { return locale_ != nullptr; }

  // True when `category` resolved to the C locale, which says nothing about
  // the user's preferences.
  bool IsPlainC(int category) const {
    const std::string_view name = nl_langinfo_l(_NL_LOCALE_NAME(category), locale_);
    return name.empty() || name == "C" || name == "POSIX" || name.starts_with("C.");
  }

  // An item of the locale, converted to UTF-8.
  std::string Text(nl_item item) const {
    const char* raw = nl_langinfo_l(item, locale_);
    return ToUtf8(raw != nullptr ? raw : "");
  }

  // A one-character numeric item (such as the currency decimals).
  int Number(nl_item item) const {
    const char* raw = nl_langinfo_l(item, locale_);
    return raw != nullptr ? static_cast<signed char>(raw[0]) : -1;
  }

 private:
  std::string ToUtf8(const std::string& text) const {
    const std::string codeset = nl_langinfo_l(CODESET, locale_);
    if (codeset == "UTF-8" || codeset == "ANSI_X3.4-1968") return text;
    iconv_t cd = iconv_open("UTF-8", codeset.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return text;
    std::string input = text;
    std::string output(input.size() * 4, '\0');
    char* in = input.data();
    std::size_t inLeft = input.size();
    char* out = output.data();
    std::size_t outLeft = output.size();
    const bool ok = iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    if (!ok) return text;
    output.resize(output.size() - outLeft);
    return output;
  }

  locale_t locale_;
};

bool IsPatternLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

// The text between the first run of `letters` and the next pattern letter,
// without blanks: the separator a pattern puts between its parts.
std::string SeparatorOf(const std::string& pattern, const char* letters, std::string fallback) {
  const auto first = pattern.find_first_of(letters);
  if (first == std::string::npos) return fallback;
  const auto runEnd = pattern.find_first_not_of(pattern[first], first);
  if (runEnd == std::string::npos) return fallback;
  std::size_t end = runEnd;
  while (end < pattern.size() && !IsPatternLetter(pattern[end])) ++end;
  std::string separator;
  for (std::size_t i = runEnd; i < end; ++i) {
    if (pattern[i] != ' ' && pattern[i] != '\'') separator += pattern[i];
  }
  return separator.empty() ? fallback : separator;
}

// A long date pattern in the order the short date uses.
std::string LongDatePattern(const std::string& shortDate, const std::string& dateSeparator) {
  const auto day = shortDate.find('d');
  const auto month = shortDate.find('M');
  const auto year = shortDate.find('y');
  if (day == std::string::npos || month == std::string::npos || year == std::string::npos) {
    return shortDate;
  }
  if (year < month && month < day) return "dddd, yyyy MMMM d";
  if (month < day) return "dddd, MMMM d, yyyy";
  return dateSeparator == "." ? "dddd, d. MMMM yyyy" : "dddd, d MMMM yyyy";
}

// The long time pattern without its seconds (and the separator before them).
std::string ShortTimePattern(const std::string& longTime, const std::string& timeSeparator) {
  std::string pattern = longTime;
  for (const std::string& seconds : {timeSeparator + "ss", timeSeparator + "s"}) {
    const auto pos = pattern.find(seconds);
    if (pos != std::string::npos) {
      pattern.erase(pos, seconds.size());
      return pattern;
    }
  }
  return pattern;
}

// Windows' numbering of negative currency layouts from the C library's
// description (symbol before or after, blank between, sign position).
int NegativeCurrencyFormat(bool symbolFirst, bool blank, int signPosition) {
  switch (signPosition) {
    case 0:  // parentheses
      return symbolFirst ? (blank ? 14 : 0) : (blank ? 15 : 4);
    case 1:  // sign before amount and symbol
    case 3:  // sign right before the symbol
      if (symbolFirst) return blank ? 9 : 1;
      if (signPosition == 3) return blank ? 13 : 6;
      return blank ? 8 : 5;
    case 2:  // sign after amount and symbol
      return symbolFirst ? (blank ? 11 : 3) : (blank ? 10 : 7);
    case 4:  // sign right after the symbol
      return symbolFirst ? (blank ? 12 : 2) : (blank ? 10 : 7);
    default:
      return symbolFirst ? 1 : (blank ? 8 : 5);
  }
}

void ApplyNumeric(const std::string& name, FormatSettings& settings) {
  const Locale locale(LC_NUMERIC_MASK | LC_CTYPE_MASK, name);
  if (!locale.Loaded() || locale.IsPlainC(LC_NUMERIC)) return;
  const std::string decimal = locale.Text(RADIXCHAR);
  if (!decimal.empty()) settings.decimalSeparator = decimal;
  settings.thousandsSeparator = locale.Text(THOUSEP);
}

void ApplyTime(const std::string& name, FormatSettings& settings) {
  const Locale locale(LC_TIME_MASK | LC_CTYPE_MASK, name);
  if (!locale.Loaded() || locale.IsPlainC(LC_TIME)) return;
  const std::string shortDate = StrftimeToPattern(locale.Text(D_FMT));
  if (!shortDate.empty()) {
    settings.shortDateFormat = shortDate;
    settings.dateSeparator = SeparatorOf(shortDate, "dMy", "/");
    settings.longDateFormat = LongDatePattern(shortDate, settings.dateSeparator);
  }
  std::string timeFormat = locale.Text(T_FMT);
  if (timeFormat.empty()) timeFormat = locale.Text(T_FMT_AMPM);
  const std::string longTime = StrftimeToPattern(timeFormat);
  if (!longTime.empty()) {
    settings.longTimeFormat = longTime;
    settings.timeSeparator = SeparatorOf(longTime, "Hh", ":");
    settings.shortTimeFormat = ShortTimePattern(longTime, settings.timeSeparator);
  }
  settings.amText = locale.Text(AM_STR);
  settings.pmText = locale.Text(PM_STR);
  for (int i = 0; i < 12; ++i) {
    settings.shortMonthNames[i] = locale.Text(static_cast<nl_item>(ABMON_1 + i));
    settings.longMonthNames[i] = locale.Text(static_cast<nl_item>(MON_1 + i));
  }
  for (int i = 0; i < 7; ++i) {
    settings.shortDayNames[i] = locale.Text(static_cast<nl_item>(ABDAY_1 + i));
    settings.longDayNames[i] = locale.Text(static_cast<nl_item>(DAY_1 + i));
  }
}

void ApplyMonetary(const std::string& name, FormatSettings& settings) {
  const Locale locale(LC_MONETARY_MASK | LC_CTYPE_MASK, name);
  if (!locale.Loaded() || locale.IsPlainC(LC_MONETARY)) return;
  const std::string symbol = locale.Text(CURRENCY_SYMBOL);
  if (!symbol.empty()) settings.currencyString = symbol;
  const int decimals = locale.Number(FRAC_DIGITS);
  if (decimals >= 0 && decimals <= 18) settings.currencyDecimals = decimals;
  const bool symbolFirst = locale.Number(P_CS_PRECEDES) == 1;
  const bool blank = locale.Number(P_SEP_BY_SPACE) == 1;
  settings.currencyFormat = (symbolFirst ? 0 : 1) + (blank ? 2 : 0);
  settings.negativeCurrencyFormat = NegativeCurrencyFormat(
      locale.Number(N_CS_PRECEDES) == 1, locale.Number(N_SEP_BY_SPACE) == 1,
      locale.Number(N_SIGN_POSN));
}

// The pattern for one strftime conversion; `noPadding` is the "-" flag.
std::string_view ConversionPattern(char conversion, bool noPadding) {
  switch (conversion) {
    case 'd': return noPadding ? "d" : "dd";
    case 'e': return "d";
    case 'm': return noPadding ? "M" : "MM";
    case 'Y': return "yyyy";
    case 'y': return "yy";
    case 'b':
    case 'h': return "MMM";
    case 'B': return "MMMM";
    case 'a': return "ddd";
    case 'A': return "dddd";
    case 'H': return noPadding ? "H" : "HH";
    case 'k': return "H";
    case 'I': return noPadding ? "h" : "hh";
    case 'l': return "h";
    case 'M': return noPadding ? "m" : "mm";
    case 'S': return noPadding ? "s" : "ss";
    case 'p':
    case 'P': return "tt";
    case 'D': return "MM/dd/yy";
    case 'F': return "yyyy-MM-dd";
    case 'T': return "HH:mm:ss";
    case 'R': return "HH:mm";
    case 'r': return "hh:mm:ss tt";
    case 'n':
    case 't': return " ";
    case '%': return "%";
    default: return "";  // time zones, week numbers and the like are left out
  }
}

}  // namespace

std::string StrftimeToPattern(std::string_view format) {
  std::string pattern;
  std::string literal;  // pending literal letters, quoted when flushed
  const auto flushLiteral = [&] {
    if (!literal.empty()) pattern += "'" + literal + "'";
    literal.clear();
  };
  for (std::size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c != '%') {
      if (IsPatternLetter(c)) {
        literal += c;
      } else {
        flushLiteral();
        pattern += c;
      }
      continue;
    }
    flushLiteral();
    bool noPadding = false;
    while (i + 1 < format.size() && std::strchr("-_0^#", format[i + 1]) != nullptr) {
      noPadding = noPadding || format[i + 1] == '-';
      ++i;
    }
    while (i + 1 < format.size() &&
           (std::isdigit(static_cast<unsigned char>(format[i + 1])) || format[i + 1] == 'E' ||
            format[i + 1] == 'O')) {
      ++i;
    }
    if (i + 1 < format.size()) pattern += ConversionPattern(format[++i], noPadding);
  }
  flushLiteral();
  // Conversions that were left out may leave blanks at either end.
  return std::string(TrimBlanks(pattern));
}

void ApplyLocaleFormats(const std::string& localeName, FormatSettings& settings) {
  ApplyNumeric(localeName, settings);
  ApplyTime(localeName, settings);
  ApplyMonetary(localeName, settings);
}

}  // namespace platform::detail
