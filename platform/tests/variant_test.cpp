#include "platform/variant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "platform/errors.h"

namespace platform {
namespace {

ConversionError::Kind KindOf(const std::function<void()>& conversion) {
  try {
    conversion();
  } catch (const ConversionError& error) {
    return error.GetKind();
  }
  ADD_FAILURE() << "the conversion did not fail";
  return ConversionError::Kind::kInvalidGuid;
}

constexpr auto kMismatch = ConversionError::Kind::kTypeMismatch;
constexpr auto kOverflow = ConversionError::Kind::kOverflow;

class VariantTest : public ::testing::Test {
 protected:
  ScopedFormatSettings german_{GermanFormatSettings()};
};

TEST_F(VariantTest, KindsAndEquality) {
  EXPECT_TRUE(Variant().IsEmpty());
  EXPECT_TRUE(Variant::Null().IsNull());
  EXPECT_EQ(Variant(std::int16_t{5}).Type(), VariantType::kInt16);
  EXPECT_EQ(Variant(5).Type(), VariantType::kInt32);
  EXPECT_EQ(Variant(std::int64_t{5}).Type(), VariantType::kInt64);
  EXPECT_EQ(Variant(std::uint8_t{5}).Type(), VariantType::kByte);
  EXPECT_EQ(Variant(5.0f).Type(), VariantType::kSingle);
  EXPECT_EQ(Variant::FromDate(5.0).Type(), VariantType::kDate);
  EXPECT_EQ(Variant("x").Type(), VariantType::kString);
  EXPECT_EQ(Variant(Bytes{1}).Type(), VariantType::kBytes);
  EXPECT_EQ(Variant(Decimal{}).Type(), VariantType::kDecimal);

  EXPECT_EQ(Variant(5), Variant(5));
  EXPECT_NE(Variant(5), Variant(5.0));  // same number, other kind
  EXPECT_NE(Variant(5.0), Variant::FromDate(5.0));
  EXPECT_EQ(Variant::Null(), Variant::Null());
  EXPECT_NE(Variant::Null(), Variant());
  EXPECT_NE(Variant(std::nan("")), Variant(std::nan("")));
  EXPECT_EQ(Variant("Käse").StringIf()[0], "Käse");
  EXPECT_EQ(Variant(5).StringIf(), nullptr);

  EXPECT_EQ(::testing::PrintToString(Variant(12.5)), "Double(12.5)");  // German settings
  EXPECT_EQ(::testing::PrintToString(Variant("Käse")), "String(\"Käse\")");
  EXPECT_EQ(::testing::PrintToString(Variant::Null()), "Null");
}

TEST_F(VariantTest, NullConvertsToNothingEmptyToZero) {
  const Variant null = Variant::Null();
  EXPECT_EQ(KindOf([&] { null.ToText(); }), kMismatch);
  EXPECT_EQ(KindOf([&] { null.ToInt32(); }), kMismatch);
  EXPECT_EQ(KindOf([&] { null.ToDouble(); }), kMismatch);
  EXPECT_EQ(KindOf([&] { null.ToBoolean(); }), kMismatch);
  EXPECT_EQ(KindOf([&] { Variant(5).ChangeType(VariantType::kNull); }), kMismatch);
  EXPECT_TRUE(null.ChangeType(VariantType::kNull).IsNull());
  EXPECT_TRUE(null.ChangeType(VariantType::kEmpty).IsEmpty());

  const Variant empty;
  EXPECT_EQ(empty.ToText(), "");
  EXPECT_EQ(empty.ToInt32(), 0);
  EXPECT_EQ(empty.ToDouble(), 0.0);
  EXPECT_FALSE(empty.ToBoolean());
  EXPECT_EQ(empty.ToCurrency(), Currency{0});
}

TEST_F(VariantTest, TextFollowsTheFormatSettings) {
  EXPECT_EQ(Variant(12.5).ToText(), "12,5");
  EXPECT_EQ(Variant(1.0 / 3).ToText(), "0,333333333333333");
  EXPECT_EQ(Variant(12.3f).ToText(), "12,3");
  EXPECT_EQ(Variant(Currency{125000}).ToText(), "12,5");
  EXPECT_EQ(Variant(-42).ToText(), "-42");
  EXPECT_EQ(Variant(true).ToText(), "True");
  EXPECT_EQ(Variant::FromDate(EncodeDate(2007, 3, 12) + 0.5).ToText(), "12.03.2007 12:00:00");
  EXPECT_EQ(Variant::FromDate(EncodeDate(2007, 3, 12)).ToText(), "12.03.2007");
  EXPECT_EQ(Variant::FromDate(0.25).ToText(), "06:00:00");
  EXPECT_EQ(Variant(Bytes{'a', 0, 'b'}).ToText(), std::string("a\0b", 3));
  const ScopedFormatSettings english(EnglishUsFormatSettings());
  EXPECT_EQ(Variant(12.5).ToText(), "12.5");
  EXPECT_EQ(Variant::FromDate(EncodeDate(2007, 3, 12) + 0.75).ToText(), "3/12/2007 6:00:00 PM");
}

TEST_F(VariantTest, TextToNumbers) {
  EXPECT_EQ(Variant("12,5").ToDouble(), 12.5);
  EXPECT_EQ(Variant(" 1.234,5 ").ToDouble(), 1234.5);
  EXPECT_EQ(Variant("12,5").ToInt32(), 12);   // half to even
  EXPECT_EQ(Variant("13,5").ToInt32(), 14);
  EXPECT_EQ(Variant("$FF").ToInt32(), 255);
  EXPECT_EQ(Variant("12,5").ToCurrency(), Currency{125000});
  EXPECT_EQ(Variant("0,00005").ToCurrency(), Currency{0});  // exact half, to even
  EXPECT_EQ(Variant("0,00015").ToCurrency(), Currency{2});
  EXPECT_EQ(KindOf([] { Variant("12.5").ToDouble(); }), kMismatch);  // not German
  EXPECT_EQ(KindOf([] { Variant("abc").ToInt32(); }), kMismatch);
  EXPECT_EQ(KindOf([] { Variant("").ToDouble(); }), kMismatch);
  EXPECT_EQ(KindOf([] { Variant("70000").ToInt16(); }), kOverflow);
  EXPECT_EQ(KindOf([] { Variant("1E300").ToCurrency(); }), kOverflow);
  const ScopedFormatSettings english(EnglishUsFormatSettings());
  EXPECT_EQ(Variant("12.5").ToDouble(), 12.5);
  EXPECT_EQ(KindOf([] { Variant("12,5").ToDouble(); }), kMismatch);
}

TEST_F(VariantTest, NumbersBetweenKinds) {
  EXPECT_EQ(Variant(2.5).ToInt32(), 2);
  EXPECT_EQ(Variant(-2.5).ToInt32(), -2);
  EXPECT_EQ(Variant(3.5).ToInt16(), 4);
  EXPECT_EQ(Variant(Currency{25000}).ToInt32(), 2);   // 2.5
  EXPECT_EQ(Variant(Currency{-35000}).ToInt32(), -4);
  EXPECT_EQ(Variant(true).ToInt32(), -1);
  EXPECT_EQ(Variant(true).ToByte(), 255);
  EXPECT_EQ(Variant(true).ToDouble(), -1.0);
  EXPECT_TRUE(Variant(0.1).ToBoolean());
  EXPECT_TRUE(Variant("TRUE").ToBoolean());
  EXPECT_FALSE(Variant("false").ToBoolean());
  EXPECT_TRUE(Variant("-1").ToBoolean());
  EXPECT_EQ(KindOf([] { Variant("ja").ToBoolean(); }), kMismatch);
  EXPECT_EQ(Variant(1.23456789).ToCurrency(), Currency{12346});
  EXPECT_DOUBLE_EQ(Variant(Currency{12345}).ToDouble(), 1.2345);
  EXPECT_EQ(Variant(std::int64_t{1} << 40).ToDouble(), 1099511627776.0);
  EXPECT_EQ(Variant(1e10).ToSingle(), 1e10f);
}

TEST_F(VariantTest, RangeChecks) {
  EXPECT_EQ(KindOf([] { Variant(32767.5).ToInt16(); }), kOverflow);  // rounds to 32768
  EXPECT_EQ(Variant(-32768.4).ToInt16(), -32768);
  EXPECT_EQ(KindOf([] { Variant(256).ToByte(); }), kOverflow);
  EXPECT_EQ(KindOf([] { Variant(-1).ToByte(); }), kOverflow);
  EXPECT_EQ(KindOf([] { Variant(2147483648.0).ToInt32(); }), kOverflow);
  EXPECT_EQ(Variant(-2147483648.0).ToInt32(), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(KindOf([] { Variant(std::nan("")).ToInt32(); }), kOverflow);
  EXPECT_EQ(KindOf([] { Variant(9.3e18).ToInt64(); }), kOverflow);
  EXPECT_EQ(KindOf([] { Variant(1e300).ToSingle(); }), kOverflow);
  EXPECT_EQ(KindOf([] { Variant(1e300).ToCurrency(); }), kOverflow);
  EXPECT_EQ(KindOf([] { Variant(std::int64_t{1} << 62).ToCurrency(); }), kOverflow);
  EXPECT_EQ(KindOf([] { Variant(1e10).ToDate(); }), kOverflow);
}

TEST_F(VariantTest, Dates) {
  const TDateTime date = EncodeDate(2000, 1, 1) + 0.5;
  EXPECT_EQ(Variant("01.01.2000 12:00").ToDate(), date);
  EXPECT_EQ(Variant(36526.5).ToDate(), date);
  EXPECT_EQ(Variant::FromDate(date).ToDouble(), 36526.5);
  EXPECT_EQ(KindOf([] { Variant("32.01.2000").ToDate(); }), kMismatch);
  EXPECT_EQ(Variant::FromDate(date).ChangeType(VariantType::kString), Variant("01.01.2000 12:00:00"));
}

TEST_F(VariantTest, BytesGuidsAndDecimals) {
  EXPECT_EQ(Variant("ab").ToBytes(), (Bytes{'a', 'b'}));
  EXPECT_EQ(KindOf([] { Variant(5).ToBytes(); }), kMismatch);
  const char* text = "{3D2C1B0A-5F4E-8170-92A3-B4C5D6E7F809}";
  EXPECT_EQ(Variant(text).ToGuid(), ParseGuid(text));
  EXPECT_EQ(Variant(ParseGuid(text)).ToText(), text);
  EXPECT_EQ(KindOf([] { Variant("{x}").ToGuid(); }), ConversionError::Kind::kInvalidGuid);
  EXPECT_EQ(KindOf([] { Variant(5).ToGuid(); }), kMismatch);

  const Decimal decimal = Variant("-1234,5678").ToDecimal();
  EXPECT_EQ(Variant(decimal).ToText(), "-1234,5678");
  EXPECT_EQ(Variant(decimal).ToCurrency(), Currency{-12345678});
  EXPECT_EQ(Variant(decimal).ToInt32(), -1235);
  EXPECT_DOUBLE_EQ(Variant(decimal).ToDouble(), -1234.5678);
  EXPECT_EQ(Variant(Currency{-12345678}).ToDecimal(), decimal);
  EXPECT_EQ(Variant(0.1).ToDecimal(), Variant("0,1").ToDecimal());
  EXPECT_EQ(Variant(7).ChangeType(VariantType::kDecimal), Variant(DecimalFromInt64(7)));
}

TEST_F(VariantTest, ArraysHoldVariantsAndConvertToNothingElse) {
  const Variant array = Variant::Array({Variant(52.5), Variant::Null(), Variant("Äpfel")});
  ASSERT_EQ(array.Type(), VariantType::kArray);
  ASSERT_NE(array.ArrayIf(), nullptr);
  EXPECT_EQ(array.ArrayIf()->at(0), Variant(52.5));
  EXPECT_TRUE(array.ArrayIf()->at(1).IsNull());
  EXPECT_EQ(Variant(5).ArrayIf(), nullptr);

  const Variant copy = array;
  EXPECT_EQ(copy, array);
  EXPECT_EQ(array, Variant::Array({Variant(52.5), Variant::Null(), Variant("Äpfel")}));
  EXPECT_NE(array, Variant::Array({Variant(52.5), Variant::Null()}));
  EXPECT_NE(array, Variant::Array({Variant(52.5), Variant(), Variant("Äpfel")}));
  EXPECT_NE(Variant::Array({Variant(std::nan(""))}), Variant::Array({Variant(std::nan(""))}));
  EXPECT_EQ(Variant::Array({}), Variant::Array({}));
  EXPECT_NE(Variant::Array({Variant("x")}), Variant("x"));

  EXPECT_EQ(::testing::PrintToString(array), "Array(Double(52.5), Null, String(\"Äpfel\"))");
  for (const auto& conversion : std::vector<std::function<void()>>{
           [&] { array.ToText(); }, [&] { array.ToDouble(); }, [&] { array.ToInt32(); },
           [&] { array.ToBoolean(); }, [&] { array.ToCurrency(); }, [&] { array.ToDate(); },
           [&] { array.ToBytes(); }, [&] { array.ToDecimal(); },
           [&] { Variant(5).ChangeType(VariantType::kArray); }}) {
    EXPECT_EQ(KindOf(conversion), kMismatch);
  }
  EXPECT_EQ(array.ChangeType(VariantType::kArray), array);
  EXPECT_TRUE(array.ChangeType(VariantType::kEmpty).IsEmpty());
}

TEST(DecimalTest, ExactTextAndLimits) {
  const FormatSettings english = EnglishUsFormatSettings();
  const auto max = TryParseDecimal("79228162514264337593543950335", english);
  ASSERT_TRUE(max);
  EXPECT_EQ(max->high, 0xFFFFFFFFu);
  EXPECT_EQ(max->low, ~std::uint64_t{0});
  EXPECT_FALSE(TryParseDecimal("79228162514264337593543950336", english));
  EXPECT_EQ(DecimalToText(*TryParseDecimal("0.0000000000000000000000000001", english), english),
            "0.0000000000000000000000000001");
  // More than 28 decimals are rounded half to even.
  EXPECT_EQ(DecimalToText(*TryParseDecimal("0.00000000000000000000000000025", english), english),
            "0.0000000000000000000000000002");
  Decimal scaled;
  scaled.low = 150;
  scaled.scale = 2;
  EXPECT_EQ(DecimalToText(scaled, english), "1.50");  // the scale keeps its zeros
  EXPECT_EQ(scaled, *TryParseDecimal("1.5", english));
  EXPECT_LT(*TryParseDecimal("-2", english), *TryParseDecimal("1.5", english));
  EXPECT_LT(*TryParseDecimal("1.49", english), scaled);
  EXPECT_EQ(*TryParseDecimal("-0", english), Decimal{});
  EXPECT_EQ(DecimalToInt64(*TryParseDecimal("2.5", english)), 2);
  EXPECT_EQ(DecimalToInt64(*TryParseDecimal("-3.5", english)), -4);
  EXPECT_FALSE(DecimalToInt64(*max));
  EXPECT_EQ(DecimalFromDouble(1.0 / 3).value(), *TryParseDecimal("0.333333333333333", english));
}

}  // namespace
}  // namespace platform
