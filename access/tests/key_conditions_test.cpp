// The condition texts the table searches with: every field type, the
// characters LIKE would read as patterns, quotes, Null, and numbers and
// dates written in the user's German or English formats.

#include "access/key_conditions.h"

#include <gtest/gtest.h>

#include "access/key_match.h"
#include "platform/date_time.h"
#include "platform/format_settings.h"
#include "platform/guids.h"

namespace accessdb {
namespace {

using namespace recordset;
using platform::Variant;

KeyField Field(TFieldType type, bool guid = false) { return KeyField{.name = "Feld", .type = type, .guid = guid}; }

std::string Exact(TFieldType type, const Variant& value, bool guid = false) {
  return ExactKeyCondition(Field(type, guid), KeyValueOf(value), true).value_or("<none>");
}

std::string Lookup(const Variant& value, bool caseInsensitive, bool partial) {
  return LookupKeyCondition(Field(ftString), KeyValueOf(value), true,
                            TLocateOptions{.caseInsensitive = caseInsensitive, .partialKey = partial})
      .value_or("<none>");
}

TEST(KeyConditions, TextsAreQuotedWithTheirQuotesDoubled) {
  EXPECT_EQ(Exact(ftString, Variant("Apfel")), "([Feld] = \"Apfel\")");
  EXPECT_EQ(Exact(ftMemo, Variant("Sag \"Ja\"")), "([Feld] = \"Sag \"\"Ja\"\"\")");
  EXPECT_EQ(Exact(ftBlob, Variant("O'Brien")), "([Feld] = \"O'Brien\")");
  EXPECT_EQ(Exact(ftString, Variant("")), "([Feld] = \"\")");
}

TEST(KeyConditions, NullIsTestedWithIsNullAndTheTextNullIsJustAText) {
  EXPECT_EQ(Exact(ftString, Variant::Null()), "([Feld] IS NULL)");
  EXPECT_EQ(Exact(ftInteger, Variant()), "([Feld] IS NULL)");
  EXPECT_EQ(Lookup(Variant::Null(), true, true), "([Feld] IS NULL)");
  // A value that happens to read NULL is searched for as that text.
  EXPECT_EQ(Exact(ftString, Variant("NULL")), "([Feld] = \"NULL\")");
}

TEST(KeyConditions, LookupFormsFollowTheOptions) {
  EXPECT_EQ(Lookup(Variant("Apfel"), false, false), "([Feld] = \"Apfel\")");
  EXPECT_EQ(Lookup(Variant("ÄPFEL"), true, false), "([Feld] = LCASE(\"äpfel\"))");
  EXPECT_EQ(Lookup(Variant("Apfel"), false, true), "([Feld] LIKE \"Apfel*\")");
  EXPECT_EQ(Lookup(Variant("APFEL"), true, true), "([Feld] LIKE LCASE(\"apfel*\"))");
}

TEST(KeyConditions, PatternCharactersOfPartialKeysMatchLiterally) {
  EXPECT_EQ(LikeLiteral("a!b#c*d-e?f[g]h"), "a!b[#]c[*]d-e[?]f[[]g]h");
  EXPECT_EQ(Lookup(Variant("Ap*fel"), false, true), "([Feld] LIKE \"Ap[*]fel*\")");
  EXPECT_EQ(Lookup(Variant("[\"x\"]"), false, true), "([Feld] LIKE \"[[]\"\"x\"\"]*\")");
  // Only partial keys go through LIKE: an exact key keeps its characters.
  EXPECT_EQ(Lookup(Variant("Ap*fel"), true, false), "([Feld] = LCASE(\"ap*fel\"))");
}

TEST(KeyConditions, NamesAreBracketedPartByPartOrLeftAsTheyAre) {
  const KeyField dotted{.name = "nuta.Kcal", .type = ftInteger, .guid = false};
  EXPECT_EQ(ExactKeyCondition(dotted, KeyValueOf(Variant(5)), true), "([nuta].[Kcal] = 5)");
  EXPECT_EQ(ExactKeyCondition(dotted, KeyValueOf(Variant(5)), false), "(nuta.Kcal = 5)");
}

TEST(KeyConditions, NumbersAreWrittenWithAFullStopInEitherLocale) {
  for (const auto& settings : {platform::GermanFormatSettings(), platform::EnglishUsFormatSettings()}) {
    platform::ScopedFormatSettings scope(settings);
    EXPECT_EQ(Exact(ftFloat, Variant(1234.5)), "([Feld] = 1234.5)") << settings.decimalSeparator;
    EXPECT_EQ(Exact(ftCurrency, Variant(-0.25)), "([Feld] = -0.25)");
    EXPECT_EQ(Exact(ftAutoInc, Variant(std::int32_t{17})), "([Feld] = 17)");
    EXPECT_EQ(Exact(ftBoolean, Variant(true)), "([Feld] = True)");
    EXPECT_EQ(Exact(ftSmallint, Variant("")), "([Feld] IS NULL)");
  }
  platform::ScopedFormatSettings german(platform::GermanFormatSettings());
  // Typed the German way: the full stops group thousands.
  EXPECT_EQ(SqlNumberText("1.234.567,5"), "1234567.5");
  platform::ScopedFormatSettings english(platform::EnglishUsFormatSettings());
  EXPECT_EQ(SqlNumberText("1,234,567.5"), "1234567.5");
}

TEST(KeyConditions, DatesAreWrittenMonthFirstWhateverTheLocale) {
  const platform::TDateTime evening = platform::EncodeDate(2007, 3, 12) + platform::EncodeTime(20, 5, 9, 0);
  for (const auto& settings : {platform::GermanFormatSettings(), platform::EnglishUsFormatSettings()}) {
    platform::ScopedFormatSettings scope(settings);
    EXPECT_EQ(Exact(ftDate, Variant::FromDate(evening)), "([Feld] = #03/12/2007#)");
    // The afternoon survives an English time text with its PM.
    EXPECT_EQ(Exact(ftTime, Variant::FromDate(evening)), "([Feld] = #20:05:09#)");
    EXPECT_EQ(Exact(ftDateTime, Variant::FromDate(evening)), "([Feld] = #03/12/2007 20:05:09#)");
    EXPECT_EQ(Exact(ftDateTime, Variant("")), "([Feld] IS NULL)");
  }
  {
    platform::ScopedFormatSettings german(platform::GermanFormatSettings());
    EXPECT_EQ(Exact(ftDateTime, Variant("12. 3. 2007 14:05")), "([Feld] = #03/12/2007 14:05:00#)");
    EXPECT_EQ(Exact(ftDate, Variant("kein Datum")), "<none>");
  }
  platform::ScopedFormatSettings english(platform::EnglishUsFormatSettings());
  EXPECT_EQ(Exact(ftDate, Variant("3/12/2007")), "([Feld] = #03/12/2007#)");
  EXPECT_EQ(Exact(ftTime, Variant("8:30:00 PM")), "([Feld] = #20:30:00#)");
}

TEST(KeyConditions, GuidsInEveryFormAndOtherBytesAsTheyAre) {
  const std::string text = "{0C1D2E3F-4A5B-6C7D-8E9F-A0B1C2D3E4F5}";
  const platform::Guid guid = platform::ParseGuid(text);
  const std::string expected = "([Feld] = {guid " + text + "})";
  EXPECT_EQ(Exact(ftBytes, Variant(guid), true), expected);
  EXPECT_EQ(Exact(ftBytes, Variant(text), true), expected);
  EXPECT_EQ(Exact(ftBytes, Variant("{guid " + text + "}"), true), expected);
  EXPECT_EQ(Exact(ftBytes, Variant(platform::Bytes{'a', 'b'})), "([Feld] = \"ab\")");
  EXPECT_EQ(Exact(ftBytes, Variant(""), true), "([Feld] IS NULL)");
}

TEST(KeyConditions, TypesSqlCannotCompareGiveNoCondition) {
  for (const TFieldType type : {ftUnknown, ftVarBytes, ftGraphic, ftFmtMemo, ftTypedBinary, ftCursor}) {
    EXPECT_FALSE(ExactKeyCondition(Field(type), KeyValueOf(Variant("x")), true)) << type;
    EXPECT_FALSE(LookupKeyCondition(Field(type), KeyValueOf(Variant("x")), true, {})) << type;
    // Null needs no comparison of values.
    EXPECT_TRUE(ExactKeyCondition(Field(type), KeyValueOf(Variant::Null()), true)) << type;
  }
}

TEST(KeyConditions, AnArrayGivenAloneStandsForItsElements) {
  const std::vector<Variant> values = KeyValueList({Variant::Array({Variant(1), Variant("a")})});
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(values[1], Variant("a"));
  EXPECT_EQ(KeyValueList({Variant(1), Variant(2)}).size(), 2u);
}

TEST(KeyMatch, RowsMatchAsTheConditionsDo) {
  const TLocateOptions none;
  const TLocateOptions partial{.caseInsensitive = false, .partialKey = true};
  EXPECT_TRUE(KeyMatches(ftString, false, Variant("Apfelsaft"), Variant("APFEL"), partial));
  EXPECT_FALSE(KeyMatches(ftString, false, Variant("Apfelsaft"), Variant("Apfel"), none));
  EXPECT_TRUE(KeyMatches(ftString, false, Variant("Ap*fel"), Variant("ap*"), partial));
  EXPECT_FALSE(KeyMatches(ftString, false, Variant("Apfel"), Variant("Ap*"), partial));
  EXPECT_TRUE(KeyMatches(ftString, false, Variant::Null(), Variant::Null(), none));
  EXPECT_FALSE(KeyMatches(ftString, false, Variant("NULL"), Variant::Null(), none));
  EXPECT_FALSE(KeyMatches(ftInteger, false, Variant::Null(), Variant(0), none));
  EXPECT_TRUE(KeyMatches(ftFloat, false, Variant(1.1f), Variant(1.1), none));
  EXPECT_FALSE(KeyMatches(ftInteger, false, Variant(5), Variant("fünf"), none));
  const platform::TDateTime day = platform::EncodeDate(2000, 1, 2);
  EXPECT_TRUE(KeyMatches(ftDateTime, false, Variant::FromDate(day + 0.25), Variant::FromDate(day + 0.25), none));
  EXPECT_FALSE(KeyMatches(ftDateTime, false, Variant::FromDate(day), Variant::FromDate(day + 0.25), none));
  const std::string guid = "{0C1D2E3F-4A5B-6C7D-8E9F-A0B1C2D3E4F5}";
  EXPECT_TRUE(KeyMatches(ftBytes, true, Variant(platform::ParseGuid(guid)), Variant("{guid " + guid + "}"), none));
}

}  // namespace
}  // namespace accessdb
