// SQL parameters: the names found in an SQL text, the list kept across
// changes of the text, and the locale-free text form of the collection.

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/date_time.h"
#include "platform/format_settings.h"
#include "platform/guids.h"
#include "recordset/params.h"

namespace recordset {
namespace {

using Names = std::vector<std::string>;

TEST(SqlParamNames, AreTheWordsAfterAColonOutsideLiterals) {
  EXPECT_EQ(ParseSqlParamNames("Select * from nuta"), Names{});
  EXPECT_EQ(ParseSqlParamNames("Select * from nuta where Kcal > :Kal and Rubrik = :rub"), (Names{"Kal", "rub"}));
  // Each name once, in the spelling of its first use; letters of any
  // language, digits after the first character, and "_".
  EXPECT_EQ(ParseSqlParamNames("x=:kal or y=:KAL or z=:Kalorien or w=:Größe_2"),
            (Names{"kal", "Kalorien", "Größe_2"}));
  // Quoted texts, bracketed names and time literals are no SQL code with
  // parameters; "::" is a colon.
  EXPECT_EQ(ParseSqlParamNames("x = ':a' or y = \":b\" or [c:d] = 1 or t = #10:30:00# or u = '::' or v = ::w"),
            Names{});
  EXPECT_EQ(ParseSqlParamNames("a = 'it''s' and b = :p"), Names{"p"});
  // A literal left open at the end hides the rest, but does not fail.
  EXPECT_EQ(ParseSqlParamNames("a = :p and b = 'open :q"), Names{"p"});
  EXPECT_EQ(ParseSqlParamNames(":"), Names{});
  EXPECT_EQ(ParseSqlParamNames("a=:"), Names{});
}

TEST(SqlParams, ANewTextKeepsTheValuesOfTheNamesItStillUses) {
  TParams params;
  params.ParseSQL("a = :x and b = :y");
  ASSERT_EQ(params.Count(), 2);
  params[0].SetDataType(ftInteger);
  params[0].SetValue(Variant(std::int32_t{7}));
  params[1].SetValue(Variant("kept?"));
  params.ParseSQL("b = :X and c = :z");
  ASSERT_EQ(params.Count(), 2);
  EXPECT_EQ(params[0].Name(), "X");
  EXPECT_EQ(params[0].DataType(), ftInteger);
  EXPECT_EQ(params[0].Value(), Variant(std::int32_t{7}));
  EXPECT_EQ(params[1].Name(), "z");
  EXPECT_TRUE(params[1].IsNull());
  EXPECT_EQ(params.FindParam("y"), nullptr);

  TParams other;
  other.Add("Z").SetValue(Variant(2.5));
  other.Add("unknown").SetValue(Variant("ignored"));
  params.AssignValues(other);
  EXPECT_EQ(params.FindParam("z")->Value(), Variant(2.5));
  EXPECT_EQ(params.Count(), 2);
}

TEST(SqlParams, TheirTextFormSurvivesEveryValueKindAndNoLocale) {
  TParams params;
  params.Add("Null");
  params.Add("Bool").SetValue(Variant(true));
  params.Add("Int").SetValue(Variant(std::int64_t{-9'007'199'254'740'993}));
  params.Add("Float").SetValue(Variant(0.1 + 0.2));
  params.Add("Single").SetValue(Variant(0.4f));
  params.Add("Money").SetValue(Variant(platform::Currency{123'456'789}));
  params.Add("Date").SetValue(Variant::FromDate(platform::EncodeDate(2026, 12, 24) + 0.5));
  params.Add("Text\twith\nbreaks\\").SetValue(Variant("line 1\r\nline 2\ttab \\n"));
  params.Add("Bytes").SetValue(Variant(platform::Bytes{0x00, 0xFF, 0x7F}));
  params.Add("Guid").SetValue(Variant(platform::ParseGuid("{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}")));
  params[1].SetDataType(ftBoolean);
  params[6].SetDataType(ftDateTime);

  std::string text;
  {
    platform::ScopedFormatSettings german(platform::GermanFormatSettings());
    text = params.SaveToText();
  }
  TParams back;
  back.LoadFromText(text);
  EXPECT_EQ(back, params);
  EXPECT_EQ(back[3].Value().Type(), platform::VariantType::kDouble);
  EXPECT_EQ(back[3].Value().ToDouble(), 0.1 + 0.2);
  EXPECT_EQ(back[6].Value().Type(), platform::VariantType::kDate);

  // A text this program did not write is refused and changes nothing.
  for (const std::string bad : {"a\t1\n", "a\t1\t11\tx\\q\n", "a\t99\t0\t\n", "a\t1\t8\tnot a number\n",
                                "a\t1\t12\t0G\n", "a\t1\t11\tend\\\n", "a\t1\t13\t0102\n"}) {
    EXPECT_THROW(back.LoadFromText(bad), std::invalid_argument) << bad;
    EXPECT_EQ(back, params);
  }
}

TEST(SqlParams, CompareByNameTypeAndValue) {
  TParams a;
  a.Add("p");
  TParams b;
  b.Add("p");
  EXPECT_EQ(a, b);
  b[0].SetValue(Variant());  // Empty counts as no value, like Null
  EXPECT_EQ(a, b);
  b[0].SetValue(Variant(std::int32_t{1}));
  EXPECT_NE(a, b);
  a[0].SetValue(Variant(std::int32_t{1}));
  EXPECT_EQ(a, b);
  a[0].SetDataType(ftInteger);
  EXPECT_NE(a, b);
}

}  // namespace
}  // namespace recordset
