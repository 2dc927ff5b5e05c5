#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace platform {
namespace {

std::string AllBytes() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  return bytes;
}

TEST(CodePageTest, EveryWindows1252ByteSurvivesARoundTrip) {
  const std::string bytes = AllBytes();
  const std::string utf8 = AnsiToUtf8(bytes, 1252);
  EXPECT_EQ(Utf8ToAnsi(utf8, 1252), bytes);
  EXPECT_TRUE(CanEncode(utf8, 1252));
}

TEST(CodePageTest, Windows1252Characters) {
  EXPECT_EQ(AnsiToUtf8("\x80", 1252), "€");
  EXPECT_EQ(AnsiToUtf8("K\xE4se \x96 M\xFCsli", 1252), "Käse – Müsli");
  EXPECT_EQ(Utf8ToAnsi("Käse – Müsli €", 1252), "K\xE4se \x96 M\xFCsli \x80");
  EXPECT_EQ(AnsiToUtf8("\x9F\x8A", 1252), "ŸŠ");
}

TEST(CodePageTest, UndefinedWindows1252BytesDecodeToC1Controls) {
  EXPECT_EQ(AnsiToUtf8("\x81\x8D\x8F\x90\x9D", 1252), "\u0081\u008D\u008F\u0090\u009D");
  EXPECT_EQ(Utf8ToAnsi("\u0081\u009D", 1252), "\x81\x9D");
}

TEST(CodePageTest, CharactersTheCodePageLacksBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToAnsi("Łódź", 1252), "?\xF3" "d?");
  EXPECT_EQ(Utf8ToAnsi("日本", 1252), "??");
  EXPECT_EQ(Utf8ToAnsi("a😀b", 1252), "a?b");  // one "?" per character, not per byte
  EXPECT_FALSE(CanEncode("Łódź", 1252));
  EXPECT_TRUE(CanEncode("Łódź", 1250));
}

TEST(CodePageTest, MalformedUtf8BecomesQuestionMarksBytewise) {
  EXPECT_EQ(Utf8ToAnsi("a\xC3", 1252), "a?");             // truncated sequence
  EXPECT_EQ(Utf8ToAnsi("\xC0\xAF", 1252), "??");          // overlong "/"
  EXPECT_EQ(Utf8ToAnsi("\xED\xA0\x80", 1252), "???");     // a surrogate
  EXPECT_EQ(Utf8ToAnsi("\xFF" "x", 1252), "?x");
}

TEST(CodePageTest, CentralEuropeanAndCyrillicCodePages) {
  EXPECT_EQ(AnsiToUtf8("\xA3\xF3\x64\x9F", 1250), "Łódź");
  EXPECT_EQ(Utf8ToAnsi("Łódź", 1250), "\xA3\xF3\x64\x9F");
  EXPECT_EQ(AnsiToUtf8("\xC4\xE0", 1251), "Да");
  EXPECT_EQ(Utf8ToAnsi("Käse", 1251), "K?se");
  // 1250 leaves 0x81 undefined as well; it still round-trips.
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8("\x81", 1250), 1250), "\x81");
}

TEST(CodePageTest, OemTranslation) {
  // Ä is 0xC4 in 1252 and 0x8E in OEM 850; the box-drawing 0xC9 of 850 has
  // no place in 1252.
  EXPECT_EQ(AnsiToOem("\xC4pfel", 1252, 850), "\x8Epfel");
  EXPECT_EQ(OemToAnsi("\x8Epfel", 850, 1252), "\xC4pfel");
  EXPECT_EQ(OemToAnsi("\xC9", 850, 1252), "?");
  EXPECT_EQ(AnsiToOem("\x80", 1252, 850), "?");  // the euro sign is missing in 850
  EXPECT_EQ(OemToAnsi("\x8E", 437, 1252), "\xC4");
}

TEST(CodePageTest, Settings) {
  EXPECT_EQ(AnsiCodePage(), 1252);
  EXPECT_EQ(OemCodePage(), 850);
  EXPECT_TRUE(IsSupportedCodePage(1257));
  EXPECT_FALSE(IsSupportedCodePage(4711));
  EXPECT_THROW(SetAnsiCodePage(4711), std::invalid_argument);
  EXPECT_EQ(AnsiCodePage(), 1252);
  EXPECT_THROW(AnsiToUtf8("abc", 4711), std::invalid_argument);
  SetAnsiCodePage(1250);
  EXPECT_EQ(AnsiToUtf8("\xA3"), "Ł");
  SetAnsiCodePage(1252);
  EXPECT_EQ(AnsiToUtf8("\xA3"), "£");
}

}  // namespace
}  // namespace platform
