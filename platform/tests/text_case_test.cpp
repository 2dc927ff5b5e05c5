#include "platform/text_case.h"

#include "platform/utf8_text.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(TextCaseTest, Windows1252UpperCase) {
  EXPECT_EQ(AnsiUpperCaseBytes("k\xE4se \xFF\x9A\x9C\x9E \xDF \xF7 \xB5"),
            "K\xC4SE \x9F\x8A\x8C\x8E \xDF \xF7 \xB5");
  // Every byte maps to a byte whose upper case is itself.
  for (int b = 0; b < 256; ++b) {
    const auto upper = AnsiUpperCaseByte(static_cast<unsigned char>(b));
    EXPECT_EQ(AnsiUpperCaseByte(upper), upper) << b;
  }
}

TEST(TextCaseTest, Windows1252Comparison) {
  EXPECT_EQ(AnsiCompareTextBytes("k\xE4se", "K\xC4SE"), 0);
  EXPECT_LT(AnsiCompareTextBytes("apfel", "Birne"), 0);
  EXPECT_GT(AnsiCompareTextBytes("Birne", "apfel"), 0);
  EXPECT_LT(AnsiCompareTextBytes("abc", "ABCD"), 0);
  EXPECT_EQ(AnsiCompareTextBytes("", ""), 0);
}

TEST(TextCaseTest, UnicodeUpperAndLowerCase) {
  EXPECT_EQ(AnsiUpperCase("Käse straße ÿ łódź ω"), "KÄSE STRAßE Ÿ ŁÓDŹ Ω");
  EXPECT_EQ(AnsiLowerCase("KÄSE ŁÓDŹ"), "käse łódź");
  EXPECT_EQ(AnsiUpperCase("a\xFF" "b"), "A\xFF" "B");  // malformed bytes stay
}

TEST(TextCaseTest, UnicodeComparison) {
  EXPECT_TRUE(AnsiSameText("Nahrungsmittel", "NAHRUNGSMITTEL"));
  EXPECT_TRUE(AnsiSameText("Müsli", "MÜSLI"));
  EXPECT_TRUE(AnsiSameText("Łódź", "łÓdŹ"));
  EXPECT_FALSE(AnsiSameText("Kcal", "Kcal "));
  EXPECT_LT(AnsiCompareText("apfel", "Birne"), 0);
  EXPECT_LT(AnsiCompareText("Kh", "kjoule"), 0);  // H < J after upper-casing
  EXPECT_LT(AnsiCompareText("Zucker", "äpfel"), 0);  // ordinal: Ä sorts after Z
  EXPECT_LT(AnsiCompareText("Rubrik", "rubriken"), 0);
}

TEST(Utf8TextTest, CountsAndCutsWholeCharacters) {
  EXPECT_EQ(Utf8CharacterCount("Käse😀"), 5u);
  EXPECT_EQ(Utf8Prefix("Käse", 2), "Kä");
  EXPECT_EQ(Utf8Prefix("😀😀", 1), "😀");
  EXPECT_EQ(Utf8Prefix("ab", 5), "ab");
  // A stray byte is a character of its own; a cut never splits a sequence.
  EXPECT_EQ(Utf8CharacterCount("a\xC3" "b"), 3u);
  EXPECT_EQ(Utf8Prefix("a\xE2\x82" "b", 2), "a\xE2");
}

}  // namespace
}  // namespace platform
