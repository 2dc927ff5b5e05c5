#include "platform/float_pattern.h"

#include <algorithm>
#include <vector>

#include "platform/decimal_digits.h"

namespace platform::detail {
namespace {

constexpr int kMaxPatternDigits = 40;

bool IsQuote(char c) { return c == '\'' || c == '"'; }
bool IsPlaceholder(char c) { return c == '0' || c == '#'; }

// Splits at ";" outside quoted text.
std::vector<std::string_view> SplitSections(std::string_view pattern) {
  std::vector<std::string_view> sections;
  std::size_t start = 0;
  char quote = 0;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (IsQuote(c)) {
      quote = c;
    } else if (c == ';') {
      sections.push_back(pattern.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(pattern.substr(start));
  return sections;
}

// What one section asks for.
struct Layout {
  int integerPlaceholders = 0;  // 0/# before the decimal point
  int integerMinimum = 0;       // integer digits always shown (from the first 0 on)
  int fractionPlaceholders = 0;
  int fractionMinimum = 0;      // up to and including the last 0 after the point
  bool thousands = false;
  bool scientific = false;
};

// Scans a section; quoted text and the exponent's own digits are skipped.
Layout ScanLayout(std::string_view section) {
  Layout layout;
  bool afterPoint = false;
  bool seenIntegerZero = false;
  char quote = 0;
  for (std::size_t i = 0; i < section.size(); ++i) {
    const char c = section[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
      continue;
    }
    if (IsQuote(c)) {
      quote = c;
    } else if (c == '.' && !afterPoint && !layout.scientific) {
      afterPoint = true;
    } else if (c == ',') {
      layout.thousands = true;
    } else if ((c == 'E' || c == 'e') && i + 1 < section.size() &&
               (section[i + 1] == '+' || section[i + 1] == '-')) {
      layout.scientific = true;
      i += 1;
      while (i + 1 < section.size() && section[i + 1] == '0') ++i;
    } else if (IsPlaceholder(c) && !layout.scientific) {
      if (afterPoint) {
        ++layout.fractionPlaceholders;
        if (c == '0') layout.fractionMinimum = layout.fractionPlaceholders;
      } else {
        ++layout.integerPlaceholders;
        seenIntegerZero = seenIntegerZero || c == '0';
        if (seenIntegerZero) ++layout.integerMinimum;
      }
    }
  }
  layout.integerPlaceholders = std::min(layout.integerPlaceholders, kMaxPatternDigits);
  layout.fractionPlaceholders = std::min(layout.fractionPlaceholders, kMaxPatternDigits);
  return layout;
}

// The digits a section shows for |value|.
struct Rendered {
  std::string integerDigits;  // without padding
  std::string fraction;       // the fraction digits to show
  int exponent = 0;           // scientific only
  bool isZero = true;
};

Rendered Render(const Layout& layout, double value) {
  Rendered rendered;
  DecimalDigits number;
  if (layout.scientific) {
    const int significant =
        std::clamp(layout.integerPlaceholders + layout.fractionPlaceholders, 1, kMaxPatternDigits);
    number = RoundToSignificant(value, significant);
    if (!number.IsZero()) {
      rendered.exponent = number.pointPosition - layout.integerPlaceholders;
      number.pointPosition = layout.integerPlaceholders;
    }
  } else {
    number = RoundToDecimals(value, layout.fractionPlaceholders);
  }
  rendered.isZero = number.IsZero();
  rendered.integerDigits = number.IntegerDigits();
  rendered.fraction = number.FractionDigits(layout.fractionPlaceholders);
  while (static_cast<int>(rendered.fraction.size()) > layout.fractionMinimum &&
         rendered.fraction.back() == '0') {
    rendered.fraction.pop_back();
  }
  return rendered;
}

// Writes the section with the rendered digits in place of its placeholders.
std::string Emit(std::string_view section, const Layout& layout, const Rendered& rendered,
                 const FormatSettings& settings) {
  std::string integerDigits = rendered.integerDigits;
  const int padded = std::max(layout.integerMinimum, static_cast<int>(integerDigits.size()));
  integerDigits.insert(0, padded - integerDigits.size(), '0');
  const int integerCount = static_cast<int>(integerDigits.size());
  const std::string& thousands = layout.thousands && !layout.scientific
                                     ? settings.thousandsSeparator : std::string();

  std::string out;
  // Appends integer digit `index` (0 = leftmost) and a group separator after it.
  const auto appendIntegerDigit = [&](int index) {
    out += integerDigits[index];
    const int fromRight = integerCount - 1 - index;
    if (!thousands.empty() && fromRight > 0 && fromRight % 3 == 0) out += thousands;
  };

  int integerPlaceholder = 0;
  int fractionPlaceholder = 0;
  bool afterPoint = false;
  char quote = 0;
  for (std::size_t i = 0; i < section.size(); ++i) {
    const char c = section[i];
    if (quote != 0) {
      if (c == quote) {
        quote = 0;
      } else {
        out += c;
      }
      continue;
    }
    if (IsQuote(c)) {
      quote = c;
    } else if (c == '.' && !afterPoint) {
      afterPoint = true;
      // Without integer placeholders the integer digits still belong here.
      if (layout.integerPlaceholders == 0) {
        for (int index = 0; index < integerCount; ++index) appendIntegerDigit(index);
      }
      if (!rendered.fraction.empty()) out += settings.decimalSeparator;
    } else if (c == ',') {
      // a flag for grouping, not a character of the output
    } else if ((c == 'E' || c == 'e') && i + 1 < section.size() &&
               (section[i + 1] == '+' || section[i + 1] == '-')) {
      const bool alwaysSign = section[i + 1] == '+';
      i += 1;
      int exponentDigits = 0;
      while (i + 1 < section.size() && section[i + 1] == '0') ++i, ++exponentDigits;
      std::string digits = std::to_string(std::abs(rendered.exponent));
      if (static_cast<int>(digits.size()) < exponentDigits) {
        digits.insert(0, exponentDigits - digits.size(), '0');
      }
      out += c;
      if (rendered.exponent < 0) {
        out += '-';
      } else if (alwaysSign) {
        out += '+';
      }
      out += digits;
    } else if (IsPlaceholder(c) && !afterPoint) {
      if (integerPlaceholder < layout.integerPlaceholders) {
        // Placeholder p shows the digit whose place matches it from the
        // right; the first one also shows every digit the pattern has no
        // room for.
        const int slot = integerPlaceholder++;
        const int index = integerCount - (layout.integerPlaceholders - slot);
        if (slot == 0) {
          for (int extra = 0; extra < index; ++extra) appendIntegerDigit(extra);
        }
        if (index >= 0) appendIntegerDigit(index);
      }
    } else if (IsPlaceholder(c)) {
      if (fractionPlaceholder < static_cast<int>(rendered.fraction.size())) {
        out += rendered.fraction[fractionPlaceholder];
      }
      ++fractionPlaceholder;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

std::string FormatByPattern(std::string_view pattern, double value, const FormatSettings& settings) {
  const std::vector<std::string_view> sections = SplitSections(pattern);
  const Layout firstLayout = ScanLayout(sections[0]);
  const Rendered first = Render(firstLayout, value);

  if (first.isZero && sections.size() >= 3 && !sections[2].empty()) {
    const Layout zeroLayout = ScanLayout(sections[2]);
    return Emit(sections[2], zeroLayout, Render(zeroLayout, 0.0), settings);
  }
  if (value < 0 && !first.isZero) {
    if (sections.size() >= 2 && !sections[1].empty()) {
      const Layout negativeLayout = ScanLayout(sections[1]);
      return Emit(sections[1], negativeLayout, Render(negativeLayout, value), settings);
    }
    return "-" + Emit(sections[0], firstLayout, first, settings);
  }
  return Emit(sections[0], firstLayout, first, settings);
}

}  // namespace platform::detail
