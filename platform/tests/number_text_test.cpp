#include "platform/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace platform {
namespace {

class NumberTextTest : public ::testing::Test {
 protected:
  const FormatSettings german_ = GermanFormatSettings();
  const FormatSettings english_ = EnglishUsFormatSettings();
};

TEST_F(NumberTextTest, GeneralFormatUsesTheDecimalSeparatorAndNoGrouping) {
  EXPECT_EQ(FloatToStrGeneral(2.5, 15, german_), "2,5");
  EXPECT_EQ(FloatToStrGeneral(2.5, 15, english_), "2.5");
  EXPECT_EQ(FloatToStrGeneral(1234567.25, 15, german_), "1234567,25");
  EXPECT_EQ(FloatToStrGeneral(-0.1, 15, english_), "-0.1");
  EXPECT_EQ(FloatToStrGeneral(0.0, 15, english_), "0");
  EXPECT_EQ(FloatToStrGeneral(-0.0, 15, english_), "0");
  EXPECT_EQ(FloatToStrGeneral(100.0, 15, english_), "100");
}

TEST_F(NumberTextTest, GeneralFormatRoundsToThePrecision) {
  EXPECT_EQ(FloatToStrGeneral(1.0 / 3, 15, german_), "0,333333333333333");
  EXPECT_EQ(FloatToStrGeneral(2.0 / 3, 15, english_), "0.666666666666667");
  EXPECT_EQ(FloatToStrGeneral(0.1 + 0.2, 15, english_), "0.3");
  EXPECT_EQ(FloatToStrGeneral(12.345678, 7, english_), "12.34568");
  // A float field of precision 7 shows a single-precision value cleanly.
  EXPECT_EQ(FloatToStrGeneral(static_cast<float>(12.3), 7, english_), "12.3");
  EXPECT_EQ(FloatToStrGeneral(9.9999999999999999, 15, english_), "10");
}

TEST_F(NumberTextTest, GeneralFormatSwitchesToScientificOnlyWhenNeeded) {
  EXPECT_EQ(FloatToStrGeneral(0.00001, 15, english_), "0.00001");
  EXPECT_EQ(FloatToStrGeneral(0.000001, 15, english_), "1E-6");
  EXPECT_EQ(FloatToStrGeneral(-1.5e-7, 15, german_), "-1,5E-7");
  EXPECT_EQ(FloatToStrGeneral(1e14, 15, english_), "100000000000000");
  EXPECT_EQ(FloatToStrGeneral(1e15, 15, english_), "1E15");
  EXPECT_EQ(FloatToStrGeneral(123456789.0, 7, english_), "1.234568E8");
  EXPECT_EQ(FloatToStrGeneral(1e300, 15, english_), "1E300");
  EXPECT_EQ(FloatToStrGeneral(5e-324, 15, english_), "4.94065645841247E-324");
}

TEST_F(NumberTextTest, NonFiniteValues) {
  EXPECT_EQ(FloatToStrGeneral(std::numeric_limits<double>::infinity(), 15, english_), "INF");
  EXPECT_EQ(FloatToStrGeneral(-std::numeric_limits<double>::infinity(), 15, english_), "-INF");
  EXPECT_EQ(FloatToStrGeneral(std::nan(""), 15, english_), "NAN");
  EXPECT_EQ(FormatFloat("0.00", std::nan(""), english_), "NAN");
}

TEST_F(NumberTextTest, FixedFormat) {
  EXPECT_EQ(FloatToStrFixed(12.5, 2, german_), "12,50");
  EXPECT_EQ(FloatToStrFixed(-0.004, 2, english_), "0.00");
  EXPECT_EQ(FloatToStrFixed(-2.345, 1, english_), "-2.3");
  EXPECT_EQ(FloatToStrFixed(1e20, 0, english_), "100000000000000000000");
}

TEST_F(NumberTextTest, RoundingIsHalfAwayFromZeroOnTheExactBinaryValue) {
  // 0.125 and 2.5 are exact ties.
  EXPECT_EQ(FormatFloat("0.00", 0.125, english_), "0.13");
  EXPECT_EQ(FormatFloat("0.00", -0.125, english_), "-0.13");
  EXPECT_EQ(FormatFloat("0", 2.5, english_), "3");
  // 1.005 and 0.285 are stored slightly below the tie, 0.135 and 2.345 above.
  EXPECT_EQ(FormatFloat("0.00", 1.005, english_), "1.00");
  EXPECT_EQ(FormatFloat("0.00", 0.285, english_), "0.28");
  EXPECT_EQ(FormatFloat("0.00", 0.135, english_), "0.14");
  EXPECT_EQ(FormatFloat("0.00", 2.345, english_), "2.35");
  EXPECT_EQ(FloatToStrGeneral(0.5, 1, english_), "0.5");
  EXPECT_EQ(FloatToStrGeneral(2.5, 1, english_), "3");
  EXPECT_EQ(FormatFloat("0.00", 9.995, english_), "9.99");  // 9.99499999...
  EXPECT_EQ(FormatFloat("0.0", 9.96, english_), "10.0");
}

TEST_F(NumberTextTest, TableFilePatternShowsUpToSixDecimals) {
  EXPECT_EQ(FormatFloat("0.######", 2.5, german_), "2,5");
  EXPECT_EQ(FormatFloat("0.######", 1.0 / 3, german_), "0,333333");
  EXPECT_EQ(FormatFloat("0.######", 2.0 / 3, english_), "0.666667");
  EXPECT_EQ(FormatFloat("0.######", 12.0, english_), "12");
  EXPECT_EQ(FormatFloat("0.######", 0.0000004, english_), "0");
  EXPECT_EQ(FormatFloat("0.######", -0.0000004, english_), "0");
  EXPECT_EQ(FormatFloat("0.######", -3.25, german_), "-3,25");
  EXPECT_EQ(FormatFloat("0.######", 1234567.5, german_), "1234567,5");
}

TEST_F(NumberTextTest, PatternsWithGroupingPaddingAndLiterals) {
  EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891, german_), "1.234.567,89");
  EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891, english_), "1,234,567.89");
  EXPECT_EQ(FormatFloat("#,##0", 999.5, english_), "1,000");
  EXPECT_EQ(FormatFloat("#,##0", 12, english_), "12");
  EXPECT_EQ(FormatFloat("000.0", 5.25, english_), "005.3");
  EXPECT_EQ(FormatFloat("0", 123456, english_), "123456");
  EXPECT_EQ(FormatFloat("#.##", 0.5, english_), ".5");
  EXPECT_EQ(FormatFloat("0.0#", 1.0, english_), "1.0");
  EXPECT_EQ(FormatFloat("0.0#", 1.256, english_), "1.26");
  EXPECT_EQ(FormatFloat("0.00 'kcal'", 3.5, german_), "3,50 kcal");
  EXPECT_EQ(FormatFloat("\"ca. \"0", 7.4, english_), "ca. 7");
  EXPECT_EQ(FormatFloat(".00", 12.5, english_), "12.50");
  EXPECT_EQ(FormatFloat("", 2.5, german_), "2,5");
}

TEST_F(NumberTextTest, PatternSections) {
  const char* pattern = "0.00;(0.00);'null'";
  EXPECT_EQ(FormatFloat(pattern, 1.5, english_), "1.50");
  EXPECT_EQ(FormatFloat(pattern, -1.5, english_), "(1.50)");
  EXPECT_EQ(FormatFloat(pattern, 0.0, english_), "null");
  EXPECT_EQ(FormatFloat(pattern, 0.001, english_), "null");  // rounds to zero
  EXPECT_EQ(FormatFloat("0.0;;zero", -2.0, english_), "-2.0");  // empty negative section
  EXPECT_EQ(FormatFloat("0.0;\"minus \"0.0", -2.0, german_), "minus 2,0");
}

TEST_F(NumberTextTest, ScientificPatterns) {
  EXPECT_EQ(FormatFloat("0.00E+00", 12345.0, english_), "1.23E+04");
  EXPECT_EQ(FormatFloat("0.00E+00", 0.00012345, german_), "1,23E-04");
  EXPECT_EQ(FormatFloat("0.0E-0", 12345.0, english_), "1.2E4");
  EXPECT_EQ(FormatFloat("0.0E-0", 0.0, english_), "0.0E0");
  EXPECT_EQ(FormatFloat("00.0e+0", 1.5, english_), "15.0e-1");
}

TEST_F(NumberTextTest, CurrencyTexts) {
  EXPECT_EQ(CurrencyToDisplayText(1234.5, german_), "1.234,50 €");
  EXPECT_EQ(CurrencyToDisplayText(-1234.5, german_), "-1.234,50 €");
  EXPECT_EQ(CurrencyToDisplayText(1234.5, english_), "$1,234.50");
  EXPECT_EQ(CurrencyToDisplayText(-0.004, english_), "$0.00");
  FormatSettings parentheses = english_;
  parentheses.negativeCurrencyFormat = 0;
  EXPECT_EQ(CurrencyToDisplayText(-5, parentheses), "($5.00)");
  EXPECT_EQ(CurrencyToEditText(1234.5, german_), "1234,50");
  EXPECT_EQ(CurrencyToEditText(0.125, english_), "0.13");
}

TEST(IntegerParsingTest, DecimalForms) {
  EXPECT_EQ(TryParseInt32("42"), 42);
  EXPECT_EQ(TryParseInt32("   -17"), -17);
  EXPECT_EQ(TryParseInt32("+0099"), 99);
  EXPECT_EQ(TryParseInt32("2147483647"), 2147483647);
  EXPECT_EQ(TryParseInt32("-2147483648"), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(TryParseInt64("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(TryParseInt64("9223372036854775807"), std::numeric_limits<std::int64_t>::max());
}

TEST(IntegerParsingTest, HexadecimalForms) {
  EXPECT_EQ(TryParseInt32("$1F"), 31);
  EXPECT_EQ(TryParseInt32("x1f"), 31);
  EXPECT_EQ(TryParseInt32("X10"), 16);
  EXPECT_EQ(TryParseInt32("0x7FFFFFFF"), 2147483647);
  EXPECT_EQ(TryParseInt32(" -$10"), -16);
  EXPECT_EQ(TryParseInt32("$FFFFFFFF"), -1);  // the full width, as two's complement
  EXPECT_EQ(TryParseInt64("$FFFFFFFFFFFFFFFF"), -1);
}

TEST(IntegerParsingTest, RejectsEverythingElse) {
  for (const char* text : {"", " ", "-", "+", "$", "0x", "12,5", "12.5", "12 ", "1e3", "12a",
                           "--1", "+-1", "2147483648", "-2147483649", "$100000000", "$G",
                           "\t12", "99999999999999999999"}) {
    EXPECT_FALSE(TryParseInt32(text)) << '"' << text << '"';
  }
  EXPECT_FALSE(TryParseInt64("9223372036854775808"));
  EXPECT_FALSE(TryParseInt64("$10000000000000000"));
}

TEST_F(NumberTextTest, FloatParsingFollowsTheDecimalSeparator) {
  EXPECT_EQ(TryParseFloat("12,5", german_), 12.5);
  EXPECT_FALSE(TryParseFloat("12,5", english_));
  EXPECT_EQ(TryParseFloat("12.5", english_), 12.5);
  EXPECT_FALSE(TryParseFloat("12.5", german_));
  EXPECT_EQ(TryParseFloat("  -1,5E3 ", german_), -1500.0);
  EXPECT_EQ(TryParseFloat("+.5", english_), 0.5);
  EXPECT_EQ(TryParseFloat("5.", english_), 5.0);
  EXPECT_EQ(TryParseFloat("1e-400", english_), 0.0);
  EXPECT_EQ(TryParseFloat("0.1", english_), 0.1);  // correctly rounded
  EXPECT_EQ(TryParseFloat("2.2250738585072014e-308", english_), 2.2250738585072014e-308);
  for (const char* text : {"", " ", ".", "-", "1e", "1e+", "1.2.3", "1,000.5", "abc", "1 2",
                           "1e400", "0x10", "INF", "NAN"}) {
    EXPECT_FALSE(TryParseFloat(text, english_)) << '"' << text << '"';
  }
}

TEST_F(NumberTextTest, GroupedFloatParsingAcceptsOnlyRealGroups) {
  EXPECT_EQ(TryParseGroupedFloat("1.234.567,5", german_), 1234567.5);
  EXPECT_EQ(TryParseGroupedFloat("1,234", english_), 1234.0);
  EXPECT_EQ(TryParseGroupedFloat("12,5", german_), 12.5);
  EXPECT_FALSE(TryParseGroupedFloat("12,5", english_));  // not a group of three
  EXPECT_FALSE(TryParseGroupedFloat("1,23,456", english_));
  EXPECT_FALSE(TryParseGroupedFloat("1234,567", english_));
}

TEST_F(NumberTextTest, GeneralTextReadsBackExactly) {
  // What the Access layer writes into row buffers must read back to the
  // same double when 15 digits suffice.
  for (double value : {0.1, 2.5, 1.0 / 3, 123456.789, -98.76, 1e-7, 4.18, 1e15, 12345678901234.5}) {
    const std::string text = FloatToStrGeneral(value, 15, german_);
    const auto back = TryParseFloat(text, german_);
    ASSERT_TRUE(back) << text;
    EXPECT_EQ(FloatToStrGeneral(*back, 15, german_), text);
    EXPECT_NEAR(*back, value, std::fabs(value) * 1e-14) << text;
  }
}

}  // namespace
}  // namespace platform
