// Values assigned to fields are converted as DAO converts them: locale
// texts for numbers and dates, DAO's errors for the rest.
#include "dao/field_value_conversion.h"

#include <gtest/gtest.h>

#include "dao/dao_error.h"
#include "platform/format_settings.h"

namespace dao {
namespace {

using jet::ColumnType;
using platform::Variant;

jet::ColumnDefinition Column(ColumnType type, std::uint8_t precision = 0, std::uint8_t scale = 0) {
  jet::ColumnDefinition column;
  column.typeCode = static_cast<std::uint8_t>(type);
  column.precision = precision;
  column.scale = scale;
  return column;
}

int ErrorOf(ColumnType type, const Variant& value) {
  try {
    ToFieldValue(Column(type), value);
  } catch (const DaoError& error) {
    return error.Number();
  }
  return 0;
}

TEST(FieldValueConversionTest, GermanTextsBecomeNumbersAndDates) {
  platform::ScopedFormatSettings german(platform::GermanFormatSettings());
  EXPECT_FLOAT_EQ(static_cast<float>(ToFieldValue(Column(ColumnType::kSingle), Variant("12,5")).real), 12.5f);
  EXPECT_EQ(ToFieldValue(Column(ColumnType::kLong), Variant("417")).integer, 417);
  EXPECT_EQ(ToFieldValue(Column(ColumnType::kCurrency), Variant("1.234,5")).integer, 12345000);
  EXPECT_EQ(ToFieldValue(Column(ColumnType::kText), Variant(12.5)).text, "12,5");
  EXPECT_DOUBLE_EQ(ToFieldValue(Column(ColumnType::kDateTime), Variant("15.03.2023")).real, 45000);
  EXPECT_EQ(ToFieldValue(Column(ColumnType::kBoolean), Variant(true)).integer, 1);
  EXPECT_EQ(ToFieldValue(Column(ColumnType::kInteger), Variant(true)).integer, -1);
}

TEST(FieldValueConversionTest, NullAndEmptyStoreNull) {
  EXPECT_TRUE(ToFieldValue(Column(ColumnType::kText), Variant::Null()).null);
  EXPECT_TRUE(ToFieldValue(Column(ColumnType::kLong), Variant()).null);
}

TEST(FieldValueConversionTest, ValuesWithoutMeaningOrOutOfRangeAreRefused) {
  platform::ScopedFormatSettings english(platform::EnglishUsFormatSettings());
  EXPECT_EQ(ErrorOf(ColumnType::kLong, Variant("abc")), 3421);
  EXPECT_EQ(ErrorOf(ColumnType::kDateTime, Variant("not a date")), 3421);
  EXPECT_EQ(ErrorOf(ColumnType::kByte, Variant(300)), 3349);
  EXPECT_EQ(ErrorOf(ColumnType::kInteger, Variant("70000")), 3349);
}

TEST(FieldValueConversionTest, DecimalsTakeTheColumnsScale) {
  platform::ScopedFormatSettings english(platform::EnglishUsFormatSettings());
  const jet::FieldValue value = ToFieldValue(Column(ColumnType::kDecimal, 10, 2), Variant("-12.345"));
  // Sign, then four little-endian words, most significant first: 1235.
  EXPECT_EQ(value.bytes, (std::vector<std::uint8_t>{0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xD3, 0x04, 0, 0}));
  try {
    ToFieldValue(Column(ColumnType::kDecimal, 3, 0), Variant(1234));
    ADD_FAILURE() << "1234 fits no 3-digit decimal";
  } catch (const DaoError& error) {
    EXPECT_EQ(error.Number(), 3349);
  }
}

}  // namespace
}  // namespace dao
