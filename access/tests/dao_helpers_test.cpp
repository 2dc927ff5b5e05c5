// The free functions of the Access layer: the type translations in both
// directions (which are not inverses of each other), DAO sizes, names,
// bracketing, date texts, and the text form of values in row buffers.

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "access/dao_helpers.h"
#include "access/field_text.h"
#include "platform/format_settings.h"
#include "recordset/field_type.h"

namespace accessdb {
namespace {

using namespace recordset;

// The two directions are not inverses; these are the cases where a
// careless mapping would make them so.
TEST(DaoTypeMapping, TheDirectionsDifferWhereDaoHasSeveralTypesForOne) {
  EXPECT_EQ(DaoTypeOfField(ftFloat), 6);  // Single, as the Nutaro tables keep nutrients
  for (const int code : {6, 7, 19, 20, 21}) EXPECT_EQ(FieldTypeOfDao(code), ftFloat) << code;
  EXPECT_EQ(DaoTypeOfField(ftBytes), 15);
  EXPECT_EQ(FieldTypeOfDao(9), ftBytes);
  EXPECT_EQ(DaoTypeOfField(ftVarBytes), 12);
  EXPECT_EQ(FieldTypeOfDao(12), ftMemo);
  EXPECT_EQ(DaoTypeOfField(ftAutoInc), AutoIncrementType);
  EXPECT_EQ(FieldTypeOfDao(AutoIncrementType), ftAutoInc);
  EXPECT_EQ(FieldTypeOfDao(22), ftTime);
  EXPECT_EQ(FieldTypeOfDao(23), ftDateTime);
  for (const int code : {0, 13, 14, 24, 1024}) EXPECT_EQ(FieldTypeOfDao(code), ftUnknown) << code;
  for (const TFieldType type : {ftUnknown, ftCursor, ftGuid, ftLargeint, ftFMTBcd}) {
    EXPECT_EQ(DaoTypeOfField(type), kNoDaoType) << FieldTypeIdentifier(type);
  }
  EXPECT_EQ(FieldTypeName(ftSmallint), "ftSmallInt");
  EXPECT_EQ(FieldTypeName(ftBytes), "ftUnknown");
}

TEST(DaoTypeMapping, OnlyTextMemoAndBinaryCodesKeepTheirSize) {
  for (int code = 0; code <= 24; ++code) {
    const bool sized = code == 9 || code == 10 || code == 11 || code == 12 || code == 15 || code == 17 || code == 18;
    EXPECT_EQ(DaoFieldSize(code, 100), sized ? 100 : 0) << code;
  }
}

TEST(BracketName, BracketsEveryDottedPartAsItStands) {
  EXPECT_EQ(BracketName(""), "[]");
  EXPECT_EQ(BracketName("Kcal"), "[Kcal]");
  EXPECT_EQ(BracketName("nuta.Kcal"), "[nuta].[Kcal]");
  EXPECT_EQ(BracketName(" a .b"), "[ a ].[b]");
  EXPECT_EQ(BracketName("a."), "[a].[]");
}

TEST(CleanDateText, KeepsDigitsAndSeparatorsWithOneBlankBeforeTheTime) {
  const platform::ScopedFormatSettings german(platform::GermanFormatSettings());
  EXPECT_EQ(CleanDateText(""), "");
  EXPECT_EQ(CleanDateText("12. 3. 2007 14:05"), "12.3.2007 14:05");
  EXPECT_EQ(CleanDateText("  12. 3. 2007  "), "12.3.2007");
  EXPECT_EQ(CleanDateText("Mo, 12.03.2007, 14:05:30 Uhr"), "12.03.2007 14:05:30");
  // The year mark of Cyrillic formats goes before the date is read.
  EXPECT_EQ(CleanDateText("12.03.2007 \xD0\xB3. 14:05"), "12.03.2007 14:05");
  EXPECT_EQ(CleanDateText("14:05"), "14:05");
}

TEST(CleanDateText, UsesTheSeparatorsOfTheCurrentSettings) {
  const platform::ScopedFormatSettings english(platform::EnglishUsFormatSettings());
  EXPECT_EQ(CleanDateText("3 / 12 / 2007 2:05 PM"), "3/12/2007 2:05");
  EXPECT_EQ(CleanDateText("3.12.2007"), "3122007");
}

TEST(TimeStampText, ReadsDayNumberAndMillisecondsOrGivesNull) {
  const platform::Variant noon = TimeStampTextToDateTime("730120 43200000");
  ASSERT_EQ(noon.Type(), platform::VariantType::kDate);
  EXPECT_DOUBLE_EQ(noon.ToDate(), platform::EncodeDate(2000, 1, 1) + 0.5);
  EXPECT_EQ(TimeStampText(noon.ToDate()), "730120 43200000");
  // Before 30 December 1899 the time of day still counts forward.
  const platform::Variant early = TimeStampTextToDateTime("693593 21600000");
  EXPECT_DOUBLE_EQ(early.ToDate(), -1.25);
  for (const char* text : {"730120", "730120 x", "a 0", "0 0", "730120 -1", "730120 86400000", "3652060 0", ""}) {
    EXPECT_TRUE(TimeStampTextToDateTime(text).IsNull()) << text;
  }
}

TEST(DateDefaults, ReadMonthFirstWithTwelveHourClock) {
  EXPECT_EQ(DateDefaultToTimeStampText("1/1/2000"), "730120 0");
  EXPECT_EQ(DateDefaultToTimeStampText("1/1/2000 12:00:00"), "730120 43200000");
  EXPECT_EQ(DateDefaultToTimeStampText("1/1/2000 12:30:00 AM"), "730120 1800000");
  EXPECT_EQ(DateDefaultToTimeStampText("1/1/2000 12:30:00 PM"), "730120 45000000");
  EXPECT_EQ(DateDefaultToTimeStampText("1/1/2000 1:00:05 PM"), "730120 46805000");
  EXPECT_EQ(DateDefaultToTimeStampText("13/1/2000"), "");
  EXPECT_EQ(DateDefaultToTimeStampText("Date()"), "");
  EXPECT_EQ(DateDefaultToTimeStampText("1/1/2000 25:00:00"), "");
}

// --- Text form of values ------------------------------------------------------

template <class T>
std::array<std::byte, sizeof(T)> NativeOf(T value) {
  std::array<std::byte, sizeof(T)> bytes;
  std::memcpy(bytes.data(), &value, sizeof(T));
  return bytes;
}

template <class T>
T ValueOf(std::span<const std::byte> bytes) {
  T value;
  std::memcpy(&value, bytes.data(), sizeof(T));
  return value;
}

TEST(FieldText, IntegersFromTextsAndRoundedNumbers) {
  const platform::ScopedFormatSettings german(platform::GermanFormatSettings());
  std::array<std::byte, 4> target{};
  EXPECT_FALSE(TextToNative(ftInteger, false, 0, "", target));
  ASSERT_TRUE(TextToNative(ftInteger, false, 0, "0", target));
  EXPECT_EQ(ValueOf<std::int32_t>(target), 0);
  ASSERT_TRUE(TextToNative(ftInteger, false, 0, "2,5", target));
  EXPECT_EQ(ValueOf<std::int32_t>(target), 2);  // ties to even
  ASSERT_TRUE(TextToNative(ftInteger, false, 0, "3,5", target));
  EXPECT_EQ(ValueOf<std::int32_t>(target), 4);
  // A text that is no number leaves the destination as it was.
  ASSERT_TRUE(TextToNative(ftInteger, false, 0, "viel", target));
  EXPECT_EQ(ValueOf<std::int32_t>(target), 4);
  EXPECT_EQ(NativeToText(ftInteger, false, 0, NativeOf<std::int32_t>(-7)), "-7");
  EXPECT_EQ(NativeToText(ftSmallint, false, 0, NativeOf<std::int16_t>(300)), "300");
}

TEST(FieldText, FloatsUseTheUsersDecimalSeparator) {
  std::array<std::byte, 8> target{};
  {
    const platform::ScopedFormatSettings german(platform::GermanFormatSettings());
    EXPECT_EQ(NativeToText(ftFloat, false, 0, NativeOf(12.25)), "12,25");
    ASSERT_TRUE(TextToNative(ftFloat, false, 0, "0,4", target));
    EXPECT_EQ(ValueOf<double>(target), 0.4);
  }
  const platform::ScopedFormatSettings english(platform::EnglishUsFormatSettings());
  EXPECT_EQ(NativeToText(ftFloat, false, 0, NativeOf(12.25)), "12.25");
  ASSERT_TRUE(TextToNative(ftCurrency, false, 0, "1.5", target));
  EXPECT_EQ(ValueOf<double>(target), 1.5);
}

TEST(FieldText, BooleansAcceptDaoAndPeoplesWords) {
  std::array<std::byte, 2> target{};
  for (const char* yes : {"True", "yes", "ON", "-1", "=true", "7"}) {
    ASSERT_TRUE(TextToNative(ftBoolean, false, 0, yes, target));
    EXPECT_NE(ValueOf<std::int16_t>(target), 0) << yes;
  }
  for (const char* no : {"False", "no", "Off", "0", "=False"}) {
    ASSERT_TRUE(TextToNative(ftBoolean, false, 0, no, target));
    EXPECT_EQ(ValueOf<std::int16_t>(target), 0) << no;
  }
  EXPECT_EQ(NativeToText(ftBoolean, false, 0, NativeOf<std::int16_t>(1)), "True");
  EXPECT_EQ(NativeToText(ftBoolean, false, 0, NativeOf<std::int16_t>(0)), "False");
}

TEST(FieldText, DatesAndTimesTravelAsTimeStampsToTheMillisecond) {
  std::array<std::byte, 8> target{};
  const double stamp = 730120.0 * platform::kMillisecondsPerDay + 43200123;
  EXPECT_EQ(NativeToText(ftDateTime, false, 0, NativeOf(stamp)), "730120 43200123");
  ASSERT_TRUE(TextToNative(ftDateTime, false, 0, "730120 43200123", target));
  EXPECT_EQ(ValueOf<double>(target), stamp);
  EXPECT_EQ(NativeToText(ftDate, false, 0, NativeOf<std::int32_t>(730120)), "730120 0");
  EXPECT_EQ(NativeToText(ftTime, false, 0, NativeOf<std::int32_t>(1000)), "693594 1000");
  std::array<std::byte, 4> day{};
  ASSERT_TRUE(TextToNative(ftDate, false, 0, "730120 43200123", day));
  EXPECT_EQ(ValueOf<std::int32_t>(day), 730120);
  EXPECT_FALSE(TextToNative(ftDate, false, 0, "730120", day));
}

TEST(FieldText, GuidsTravelInDaosTextAndTheNullGuidIsNull) {
  const platform::Guid guid = platform::ParseGuid("{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}");
  const std::array<std::byte, 16> native = std::bit_cast<std::array<std::byte, 16>>(guid.bytes);
  const std::string text = NativeToText(ftBytes, true, 16, native);
  EXPECT_EQ(text, "{guid {0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}}");
  std::array<std::byte, 16> target{};
  ASSERT_TRUE(TextToNative(ftBytes, true, 16, "{guid {0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}}", target));
  EXPECT_EQ(target, native);
  EXPECT_EQ(NativeToText(ftBytes, true, 16, std::array<std::byte, 16>{}), "");
  EXPECT_EQ(TextOfDaoValue(platform::Variant(guid)), text);
}

TEST(FieldText, StringsAreCutToTheFieldSizeInCharacters) {
  std::array<std::byte, 3 * 4 + 1> target{};
  ASSERT_TRUE(TextToNative(ftString, false, 3, "Äpfel", target));
  EXPECT_STREQ(reinterpret_cast<const char*>(target.data()), "Äpf");
}

TEST(FieldText, DaoValuesBecomeTheirTexts) {
  const platform::ScopedFormatSettings german(platform::GermanFormatSettings());
  EXPECT_EQ(TextOfDaoValue(platform::Variant::Null()), "");
  EXPECT_EQ(TextOfDaoValue(platform::Variant(true)), "True");
  EXPECT_EQ(TextOfDaoValue(platform::Variant(0.4f)), "0,4");
  EXPECT_EQ(TextOfDaoValue(platform::Variant(std::int32_t{52})), "52");
  EXPECT_EQ(TextOfDaoValue(platform::Variant::FromDate(platform::EncodeDate(2000, 1, 1) + 0.5)), "730120 43200000");
  EXPECT_EQ(TextOfDaoValue(platform::Variant(platform::Bytes{'a', 0, 'b'})), std::string("a\0b", 3));
}

}  // namespace
}  // namespace accessdb
