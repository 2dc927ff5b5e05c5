// Field values to and from text and variants, under German (comma) and
// English (full stop) number formats, through a real record-set.

#include <gtest/gtest.h>

#include <cstring>

#include "platform/format_settings.h"
#include "recordset/bcd_codec.h"
#include "recordset/blob_fields.h"
#include "recordset/boolean_field.h"
#include "recordset/date_time_fields.h"
#include "recordset/float_fields.h"
#include "recordset/integer_fields.h"
#include "recordset/tests/error_of.h"
#include "recordset/tests/memory_dataset.h"

namespace recordset::testing {
namespace {

using platform::ScopedFormatSettings;

class FieldConversionTest : public ::testing::Test {
 protected:
  FieldConversionTest()
      : table_({{"Name", ftString, 10},   {"Kcal", ftInteger},  {"Fett", ftFloat},
                {"Small", ftSmallint},    {"Word", ftWord},     {"Flag", ftBoolean},
                {"Day", ftDate},          {"Stamp", ftDateTime}, {"Clock", ftTime},
                {"Price", ftCurrency},    {"Big", ftLargeint},  {"Amount", ftBCD, 2},
                {"Notes", ftMemo},        {"Raw", ftBytes, 4},  {"Var", ftVarBytes, 4},
                {"Id", ftGuid, 38}}) {
    table_.SetActive(true);
    table_.AppendRow();
  }

  TField& F(std::string_view name) { return table_.FieldNamed(name); }
  // The native bytes the engine holds for a field of the pending row.
  NativeBytes Stored(std::string_view name) {
    std::vector<std::byte> bytes(static_cast<std::size_t>(F(name).DataSize()));
    if (!F(name).GetData(bytes)) return std::nullopt;
    return bytes;
  }

  MemoryDataset table_;
};

TEST_F(FieldConversionTest, EmptyTextMakesNumbersAndDatesNullButStringsEmpty) {
  ScopedFormatSettings english(platform::EnglishUsFormatSettings());
  const std::pair<const char*, const char*> values[] = {
      {"Kcal", "1"}, {"Fett", "1.5"}, {"Day", "1/2/2023"}, {"Price", "1"}, {"Big", "1"},
      {"Amount", "1"}};
  for (const auto& [name, text] : values) {
    F(name).SetTextValue(text);
    EXPECT_FALSE(F(name).IsNullValue()) << name;
    F(name).SetTextValue("");
    EXPECT_TRUE(F(name).IsNullValue()) << name;
    EXPECT_EQ(F(name).TextValue(), "") << name;
  }
  F("Name").SetTextValue("");
  EXPECT_FALSE(F("Name").IsNullValue());
  EXPECT_EQ(F("Name").TextValue(), "");
  EXPECT_TRUE(F("Name").VariantValue().StringIf() != nullptr);
}

TEST_F(FieldConversionTest, FloatTextFollowsTheDecimalSeparator) {
  {
    ScopedFormatSettings german(platform::GermanFormatSettings());
    F("Fett").SetTextValue("12,5");
    EXPECT_EQ(F("Fett").VariantValue().ToDouble(), 12.5);
    EXPECT_EQ(F("Fett").TextValue(), "12,5");
    EXPECT_EQ(ErrorOf([&] { F("Fett").SetTextValue("1.234,5"); }),
              "'1.234,5' ist kein gültiger Fließkommawert für Feld 'Fett'");
  }
  ScopedFormatSettings english(platform::EnglishUsFormatSettings());
  EXPECT_EQ(ErrorOf([&] { F("Fett").SetTextValue("12,5"); }),
            "'12,5' ist kein gültiger Fließkommawert für Feld 'Fett'");
  EXPECT_EQ(F("Fett").TextValue(), "12.5");  // the failed write changed nothing
  F("Fett").SetTextValue(" -0.25E2 ");
  EXPECT_EQ(F("Fett").TextValue(), "-25");
}

TEST_F(FieldConversionTest, IntegerTextAcceptsDecimalAndHexadecimalOnly) {
  ScopedFormatSettings german(platform::GermanFormatSettings());
  EXPECT_EQ(ErrorOf([&] { F("Kcal").SetTextValue("12,5"); }),
            "'12,5' ist kein gültiger Integerwert für Feld 'Kcal'");
  EXPECT_EQ(ErrorOf([&] { F("Kcal").SetTextValue("2147483648"); }),
            "'2147483648' ist kein gültiger Integerwert für Feld 'Kcal'");
  const std::pair<const char*, const char*> accepted[] = {
      {"  +42", "42"}, {"-7", "-7"}, {"$1F", "31"}, {"0x10", "16"}, {"x7fffffff", "2147483647"}};
  for (const auto& [text, shown] : accepted) {
    F("Kcal").SetTextValue(text);
    EXPECT_EQ(F("Kcal").TextValue(), shown) << text;
  }
  F("Big").SetTextValue("9000000000");
  EXPECT_EQ(F("Big").VariantValue().ToInt64(), 9'000'000'000);
}

TEST_F(FieldConversionTest, RangeErrorsNameTheLimitsInForce) {
  ScopedFormatSettings german(platform::GermanFormatSettings());
  EXPECT_EQ(ErrorOf([&] { F("Small").SetTextValue("40000"); }),
            "40000 ist kein gültiger Wert für das Feld 'Small'. Der zulässige Bereich ist -32768 "
            "bis 32767");
  EXPECT_EQ(ErrorOf([&] { F("Word").SetTextValue("-1"); }),
            "-1 ist kein gültiger Wert für das Feld 'Word'. Der zulässige Bereich ist 0 bis 65535");

  auto& kcal = static_cast<TIntegerField&>(F("Kcal"));
  kcal.SetMinValue(0);
  kcal.SetMaxValue(1000);
  EXPECT_EQ(ErrorOf([&] { kcal.SetTextValue("1001"); }),
            "1001 ist kein gültiger Wert für das Feld 'Kcal'. Der zulässige Bereich ist 0 bis 1000");

  // Limits wider than a 16-bit column must not let the value wrap around.
  auto& small = static_cast<TIntegerField&>(F("Small"));
  small.SetMaxValue(100000);
  EXPECT_NE(ErrorOf([&] { small.SetTextValue("50000"); }), "(no error)");
  EXPECT_TRUE(small.IsNullValue());

  auto& fett = static_cast<TFloatField&>(F("Fett"));
  fett.SetTextValue("-3,5");  // no limits set: any value
  fett.SetMaxValue(100);
  EXPECT_EQ(ErrorOf([&] { fett.SetTextValue("100,5"); }),
            "100,5 ist kein gültiger Wert für das Feld 'Fett'. Der zulässige Bereich ist 0 bis 100");
  EXPECT_EQ(fett.TextValue(), "-3,5");
}

TEST_F(FieldConversionTest, StringsAreCutToSizeInCharacters) {
  F("Name").SetTextValue("Apfelstrudel mit Sahne");
  EXPECT_EQ(F("Name").TextValue(), "Apfelstrud");
  F("Name").SetTextValue("ÄÖÜäöüßÄÖÜxy");  // 12 characters, 22 bytes
  EXPECT_EQ(F("Name").TextValue(), "ÄÖÜäöüßÄÖÜ");
  F("Name").SetVariantValue(Variant(std::string(120, 'k')));
  EXPECT_EQ(F("Name").TextValue(), std::string(10, 'k'));
}

TEST_F(FieldConversionTest, VariantWritesConvertThenTakeTheTypedPath) {
  ScopedFormatSettings german(platform::GermanFormatSettings());
  F("Fett").SetVariantValue(Variant("12,5"));
  EXPECT_EQ(F("Fett").VariantValue(), Variant(12.5));
  F("Kcal").SetVariantValue(Variant(3.5));  // rounds half to even
  EXPECT_EQ(F("Kcal").VariantValue(), Variant(std::int32_t{4}));
  F("Name").SetVariantValue(Variant(2.5));
  EXPECT_EQ(F("Name").TextValue(), "2,5");
  EXPECT_EQ(ErrorOf([&] { F("Kcal").SetVariantValue(Variant("viel")); }),
            "Ungültiger Wert für Feld 'Kcal'");
  // Converted fine, but out of the column's range: the range message.
  EXPECT_EQ(ErrorOf([&] { F("Small").SetVariantValue(Variant(std::int32_t{70000})); }),
            "70000 ist kein gültiger Wert für das Feld 'Small'. Der zulässige Bereich ist -32768 "
            "bis 32767");
  F("Kcal").SetVariantValue(Variant::Null());
  EXPECT_TRUE(F("Kcal").IsNullValue());
  EXPECT_TRUE(F("Kcal").VariantValue().IsNull());
  F("Day").SetVariantValue(Variant::FromDate(45284.0));
  EXPECT_EQ(F("Day").VariantValue(), Variant::FromDate(45284.0));
}

TEST_F(FieldConversionTest, FormatsShapeDisplayAndEditTexts) {
  ScopedFormatSettings german(platform::GermanFormatSettings());
  auto& fett = static_cast<TFloatField&>(F("Fett"));
  fett.SetValue(1.0 / 3.0);
  EXPECT_EQ(fett.DisplayTextValue(), "0,333333333333333");
  fett.SetPrecision(7);
  EXPECT_EQ(fett.DisplayTextValue(), "0,3333333");
  fett.SetDisplayFormat("0.######");
  EXPECT_EQ(fett.DisplayTextValue(), "0,333333");
  EXPECT_EQ(fett.TextValue(), "0,333333");  // edit text falls back to the display format
  fett.SetEditFormat("0.00");
  EXPECT_EQ(fett.TextValue(), "0,33");
  fett.SetValue(2.5);
  EXPECT_EQ(fett.DisplayTextValue(), "2,5");

  auto& kcal = static_cast<TIntegerField&>(F("Kcal"));
  kcal.SetValue(1234567);
  kcal.SetDisplayFormat("#,##0");
  EXPECT_EQ(kcal.DisplayTextValue(), "1.234.567");

  F("Price").SetTextValue("1234,5");
  EXPECT_EQ(F("Price").DisplayTextValue(), "1.234,50 €");
  EXPECT_EQ(F("Price").TextValue(), "1234,50");
}

TEST_F(FieldConversionTest, BooleansMatchTheBeginningOfTheirTexts) {
  auto& flag = static_cast<TBooleanField&>(F("Flag"));
  flag.SetTextValue("t");
  EXPECT_EQ(flag.TextValue(), "True");
  EXPECT_EQ(Stored("Flag"), NativeBytes(std::vector<std::byte>{std::byte{0xFF}, std::byte{0xFF}}));
  flag.SetTextValue("FALSE");
  EXPECT_EQ(flag.VariantValue(), Variant(false));
  EXPECT_EQ(ErrorOf([&] { flag.SetTextValue("vielleicht"); }),
            "'vielleicht' ist kein gültiger boolescher Wert für Feld 'Flag'");
  flag.SetDisplayValues("Ja;Nein");
  flag.SetTextValue("ja");
  EXPECT_EQ(flag.DisplayTextValue(), "Ja");
  flag.SetTextValue("");
  EXPECT_TRUE(flag.IsNullValue());
}

TEST_F(FieldConversionTest, DatesAndTimesUseTheLocaleAndTheNativeDayNumbers) {
  ScopedFormatSettings german(platform::GermanFormatSettings());
  F("Day").SetTextValue("24.12.2023");
  EXPECT_EQ(F("Day").TextValue(), "24.12.2023");
  EXPECT_EQ(Stored("Day"), NativeInt32(738'878));  // 1 January 0001 is day 1

  F("Stamp").SetTextValue("24.12.2023 13:45:10");
  EXPECT_EQ(F("Stamp").TextValue(), "24.12.2023 13:45:10");
  EXPECT_EQ(Stored("Stamp"), NativeDouble(738'878.0 * 86'400'000 + 49'510'000));
  F("Stamp").SetTextValue("1.1.2000");
  EXPECT_EQ(F("Stamp").TextValue(), "01.01.2000");  // midnight shows the date alone

  F("Clock").SetTextValue("13:45");
  EXPECT_EQ(F("Clock").TextValue(), "13:45:00");
  EXPECT_EQ(Stored("Clock"), NativeInt32(49'500'000));

  auto& day = static_cast<TDateTimeField&>(F("Day"));
  day.SetDisplayFormat("d. MMMM yyyy");
  EXPECT_EQ(day.DisplayTextValue(), "24. Dezember 2023");
  EXPECT_EQ(ErrorOf([&] { F("Day").SetTextValue("31.02.2023"); }),
            "'31.02.2023' ist kein gültiger Datums- und Zeitwert für Feld 'Day'");
}

TEST_F(FieldConversionTest, BcdValuesKeepTheirDecimalsAndRefuseOverflow) {
  ScopedFormatSettings german(platform::GermanFormatSettings());
  auto& amount = static_cast<TBCDField&>(F("Amount"));
  amount.SetPrecision(5);
  amount.SetTextValue("-12,5");
  EXPECT_EQ(amount.TextValue(), "-12,5");
  const auto stored = Stored("Amount");
  ASSERT_TRUE(stored);
  // 5 digits, negative with 2 decimals, digits 0 1 2 5 0.
  EXPECT_EQ((*stored)[0], std::byte{5});
  EXPECT_EQ((*stored)[1], std::byte{0x82});
  EXPECT_EQ((*stored)[2], std::byte{0x01});
  EXPECT_EQ((*stored)[3], std::byte{0x25});
  EXPECT_EQ((*stored)[4], std::byte{0x00});
  amount.SetTextValue("0,125");  // two decimals: half to even
  EXPECT_EQ(amount.VariantValue(), Variant(platform::Currency{1200}));
  EXPECT_EQ(ErrorOf([&] { amount.SetTextValue("1234,5"); }),
            "Wert des Feldes 'Amount' ist außerhalb des zulässigen Bereichs");
  // Beyond the 64-bit currency range the number is out of range too, not malformed.
  amount.SetPrecision(32);
  EXPECT_EQ(ErrorOf([&] { amount.SetTextValue("1000000000000000"); }),
            "Wert des Feldes 'Amount' ist außerhalb des zulässigen Bereichs");
  EXPECT_EQ(ErrorOf([&] { amount.SetTextValue("-1.000.000.000.000.000,5"); }),
            "Wert des Feldes 'Amount' ist außerhalb des zulässigen Bereichs");
  EXPECT_EQ(ErrorOf([&] { amount.SetTextValue("12,5x"); }),
            "'12,5x' ist kein gültiger Fließkommawert für Feld 'Amount'");
}

TEST(BcdCodecTest, ReadsDigitsBeyondCurrencyPrecisionAndRejectsMalformedBytes) {
  // Eight digits, six of them decimals: 1.234565, then 1.234550, then 1.234450.
  BcdBytes bcd{};
  bcd[0] = std::byte{8};
  bcd[1] = std::byte{6};
  const auto setDigits = [&](std::uint8_t third, std::uint8_t fourth) {
    const std::uint8_t digits[] = {0x01, 0x23, third, fourth};
    std::memcpy(bcd.data() + 2, digits, sizeof digits);
  };
  setDigits(0x45, 0x65);
  EXPECT_EQ(BcdToCurrency(bcd), platform::Currency{12346});  // above half: up
  setDigits(0x45, 0x50);
  EXPECT_EQ(BcdToCurrency(bcd), platform::Currency{12346});  // half, odd: to even
  setDigits(0x44, 0x50);
  EXPECT_EQ(BcdToCurrency(bcd), platform::Currency{12344});  // half, even: stays
  bcd[2] = std::byte{0xA1};
  EXPECT_EQ(BcdToCurrency(bcd), std::nullopt);
  // 64 nines cannot be a currency.
  BcdBytes huge{};
  huge[0] = std::byte{64};
  std::fill(huge.begin() + 2, huge.end(), std::byte{0x99});
  EXPECT_EQ(BcdToCurrency(huge), std::nullopt);
  const auto back = CurrencyToBcd(platform::Currency{-1'000'000}, 32, 0);
  ASSERT_TRUE(back);
  EXPECT_EQ(BcdToCurrency(*back), platform::Currency{-1'000'000});
}

TEST_F(FieldConversionTest, LargeAndBinaryValuesRoundTrip) {
  F("Notes").SetTextValue("Zeile 1\r\nZeile 2");
  EXPECT_EQ(F("Notes").TextValue(), "Zeile 1\r\nZeile 2");
  EXPECT_EQ(F("Notes").VariantValue(), Variant("Zeile 1\r\nZeile 2"));
  F("Notes").ClearValue();
  EXPECT_TRUE(F("Notes").IsNullValue());
  F("Notes").SetTextValue("alt");
  F("Notes").SetTextValue("");
  EXPECT_EQ(F("Notes").TextValue(), "");

  F("Raw").SetVariantValue(Variant(platform::Bytes{1, 2, 3}));
  EXPECT_EQ(F("Raw").VariantValue(), Variant(platform::Bytes{1, 2, 3, 0}));  // padded to size
  F("Var").SetVariantValue(Variant(platform::Bytes{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(F("Var").VariantValue(), Variant(platform::Bytes{1, 2, 3, 4}));  // cut to size

  F("Id").SetTextValue("{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}");
  EXPECT_EQ(F("Id").TextValue(), "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}");
  EXPECT_EQ(ErrorOf([&] { F("Id").SetTextValue("{kein}"); }),
            "'{kein}' ist kein gültiger GUID-Wert für Feld 'Id'");
}

TEST(FieldDefsTest, AddFieldDefKeepsOrderAndRefusesBadDefinitions) {
  TFieldDefs defs;
  int changes = 0;
  defs.SetOnChange([&] { ++changes; });
  defs.AddFieldDef("Nahrungsmittel", ftString, 100);
  defs.AddFieldDef("Kcal", ftInteger, 0, true);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(defs[1].FieldNo(), 2);
  EXPECT_TRUE(defs[1].Required());
  EXPECT_EQ(defs.Find("KCAL"), &defs[1]);
  EXPECT_EQ(ErrorOf([&] { defs.AddFieldDef("", ftInteger); }), "Feldname fehlt");
  EXPECT_EQ(ErrorOf([&] { defs.AddFieldDef("Rubrik", ftString, -1); }), "Ungültige Feldgröße");
  // Sizes read from a damaged file: the native form must stay representable.
  EXPECT_EQ(ErrorOf([&] { defs.AddFieldDef("Rubrik", ftString, 600'000'000); }),
            "Ungültige Feldgröße");
  EXPECT_EQ(ErrorOf([&] { defs.AddFieldDef("Rubrik", ftVarBytes, 70'000); }),
            "Ungültige Feldgröße");
  EXPECT_EQ(ErrorOf([&] { defs.AddFieldDef("kcal", ftFloat); }), "Doppelter Feldname 'kcal'");
  EXPECT_EQ(defs.Count(), 2);
}

}  // namespace
}  // namespace recordset::testing
