#include "platform/text_case.h"

#include <locale.h>
#include <wctype.h>

#include <array>

#include "platform/utf8.h"

namespace platform {
namespace {

std::array<unsigned char, 256> BuildAnsiUpperTable() {
  std::array<unsigned char, 256> table{};
  for (int byte = 0; byte < 256; ++byte) table[byte] = static_cast<unsigned char>(byte);
  for (int byte = 'a'; byte <= 'z'; ++byte) table[byte] = static_cast<unsigned char>(byte - 32);
  // Latin-1 letters: à..þ to À..Þ, except the division sign 0xF7.
  for (int byte = 0xE0; byte <= 0xFE; ++byte) {
    if (byte != 0xF7) table[byte] = static_cast<unsigned char>(byte - 32);
  }
  table[0x9A] = 0x8A;  // š -> Š
  table[0x9C] = 0x8C;  // œ -> Œ
  table[0x9E] = 0x8E;  // ž -> Ž
  table[0xFF] = 0x9F;  // ÿ -> Ÿ
  return table;
}

const std::array<unsigned char, 256>& AnsiUpperTable() {
  static const auto table = BuildAnsiUpperTable();
  return table;
}

// glibc's C.UTF-8 locale carries Unicode's simple case mappings; it is part
// of every glibc installation. Without it only ASCII letters change case.
locale_t UnicodeCaseLocale() {
  static const locale_t locale = [] {
    locale_t loaded = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return loaded != nullptr ? loaded : newlocale(LC_CTYPE_MASK, "C", nullptr);
  }();
  return locale;
}

char32_t UpperCodePoint(char32_t codePoint) {
  if (codePoint < 0x80) {
    return codePoint >= 'a' && codePoint <= 'z' ? codePoint - 32 : codePoint;
  }
  return static_cast<char32_t>(towupper_l(static_cast<wint_t>(codePoint), UnicodeCaseLocale()));
}

char32_t LowerCodePoint(char32_t codePoint) {
  if (codePoint < 0x80) {
    return codePoint >= 'A' && codePoint <= 'Z' ? codePoint + 32 : codePoint;
  }
  return static_cast<char32_t>(towlower_l(static_cast<wint_t>(codePoint), UnicodeCaseLocale()));
}

template <class Mapping>
std::string MapCase(std::string_view utf8, Mapping mapping) {
  std::string result;
  result.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const std::size_t start = pos;
    char32_t codePoint = 0;
    if (NextCodePoint(utf8, pos, codePoint)) {
      AppendUtf8(mapping(codePoint), result);
    } else {
      result += utf8[start];
    }
  }
  return result;
}

// The next code point upper-cased; a stray byte of malformed text counts as
// itself (shifted above every code point so it sorts apart from them).
char32_t NextUpperUnit(std::string_view text, std::size_t& pos) {
  const std::size_t start = pos;
  char32_t codePoint = 0;
  if (NextCodePoint(text, pos, codePoint)) return UpperCodePoint(codePoint);
  return 0x110000 + static_cast<unsigned char>(text[start]);
}

}  // namespace

unsigned char AnsiUpperCaseByte(unsigned char byte) { return AnsiUpperTable()[byte]; }

std::string AnsiUpperCaseBytes(std::string_view bytes) {
  const auto& table = AnsiUpperTable();
  std::string result(bytes);
  for (char& c : result) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
  return result;
}

int AnsiCompareTextBytes(std::string_view a, std::string_view b) {
  const auto& table = AnsiUpperTable();
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const int difference = table[static_cast<unsigned char>(a[i])] -
                           table[static_cast<unsigned char>(b[i])];
    if (difference != 0) return difference;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

std::string AnsiUpperCase(std::string_view utf8) { return MapCase(utf8, UpperCodePoint); }

std::string AnsiLowerCase(std::string_view utf8) { return MapCase(utf8, LowerCodePoint); }

int AnsiCompareText(std::string_view a, std::string_view b) {
  std::size_t posA = 0;
  std::size_t posB = 0;
  while (posA < a.size() && posB < b.size()) {
    const char32_t upperA = NextUpperUnit(a, posA);
    const char32_t upperB = NextUpperUnit(b, posB);
    if (upperA != upperB) return upperA < upperB ? -1 : 1;
  }
  if (posA < a.size()) return 1;
  if (posB < b.size()) return -1;
  return 0;
}

bool AnsiSameText(std::string_view a, std::string_view b) { return AnsiCompareText(a, b) == 0; }

}  // namespace platform
