// The filter language on its own: tokens, the condition grammar with its
// errors, and LIKE masks.

#include <gtest/gtest.h>

#include "recordset/tests/error_of.h"
#include "tablefile/ntd_mask.h"
#include "tablefile/ntd_parser.h"

namespace tablefile {
namespace {

using recordset::testing::ErrorOf;
using Kind = TNtdTokenKind;

std::vector<TNtdCField> Parse(std::string_view text) {
  std::vector<TNtdCField> conditions;
  TNtdParser::ParseConditions(TNtdParser::Tokenize(text), conditions);
  return conditions;
}

std::string ParseError(std::string_view text) { return ErrorOf([&] { Parse(text); }); }

TEST(FilterTokens, EveryKindIsRecognised) {
  const std::vector<TNtdToken> tokens = TNtdParser::Tokenize(
      "\t select a.Name_1$,'it''s' \"say \"\"hi\"\"\" 12-3 * + - / and Or not "
      "= < > >= <= <> *= ( ) null Count(x) sum(t.y) MAX(z) min(z) avg(z) count TRUE false Größe\r\n");
  const std::vector<TNtdToken> expected{
      {"SELECT", Kind::ReservedWord}, {"a", Kind::Identifier},   {".", Kind::Dot},
      {"Name_1$", Kind::Identifier},  {",", Kind::Comma},        {"it's", Kind::QuotedText},
      {"say \"hi\"", Kind::QuotedText}, {"12-3", Kind::Number},  {"*", Kind::Star},
      {"+", Kind::Arithmetic},        {"-", Kind::Arithmetic},   {"/", Kind::Arithmetic},
      {"AND", Kind::Logical},         {"OR", Kind::Logical},     {"NOT", Kind::Logical},
      {"=", Kind::Comparison},        {"<", Kind::Comparison},   {">", Kind::Comparison},
      {">=", Kind::Comparison},       {"<=", Kind::Comparison},  {"<>", Kind::Comparison},
      {"*=", Kind::Comparison},       {"(", Kind::OpenParen},    {")", Kind::CloseParen},
      {"NULL", Kind::Null},           {"COUNT", Kind::Count},    {"x", Kind::Identifier},
      {"SUM", Kind::Sum},             {"t", Kind::Identifier},   {".", Kind::Dot},
      {"y", Kind::Identifier},        {"MAX", Kind::Max},        {"z", Kind::Identifier},
      {"MIN", Kind::Min},             {"z", Kind::Identifier},   {"AVG", Kind::Avg},
      {"z", Kind::Identifier},        {"COUNT", Kind::ReservedWord}, {"TRUE", Kind::True},
      {"FALSE", Kind::False},         {"Größe", Kind::Identifier}};
  EXPECT_EQ(tokens, expected);
  EXPECT_TRUE(TNtdParser::Tokenize(" \r\n\t ").empty());
  // A word ends at a symbol or a quote; a number at anything but digits and "-".
  EXPECT_EQ(TNtdParser::Tokenize("Kcal>='5'"),
            (std::vector<TNtdToken>{{"Kcal", Kind::Identifier}, {">=", Kind::Comparison}, {"5", Kind::QuotedText}}));
  EXPECT_EQ(TNtdParser::Tokenize("1x"), (std::vector<TNtdToken>{{"1", Kind::Number}, {"x", Kind::Identifier}}));
}

TEST(FilterTokens, MalformedTextsFailWithTheirReason) {
  const auto error = [](std::string_view text) { return ErrorOf([&] { TNtdParser::Tokenize(text); }); };
  EXPECT_EQ(error("Name = 'Apfel"), "Unmatched quote");
  EXPECT_EQ(error("Name = \"Apfel''"), "Unmatched quote");
  EXPECT_EQ(error("(Kcal = 1"), "Unmatched parentheses");
  EXPECT_EQ(error("Kcal = 1)"), "Unmatched parentheses");
  EXPECT_EQ(error("COUNT(x"), "Unmatched parentheses");
  EXPECT_EQ(error("Ka#l = 1"), "Invalid symbol in parameter/identificator/reserved word");
  EXPECT_EQ(error("Kcal; = 1"), "Invalid symbol in parameter/identificator/reserved word");
  EXPECT_EQ(error("$Kcal = 1"), "Parameter $Kcal is not valid identifier");
  EXPECT_EQ(error("#"), "Parameter # is not valid identifier");
  EXPECT_EQ(error("Where(x)"), "Unsupported function WHERE in query");
  EXPECT_EQ(error("COUNT(*)"), "Symbol * is not supported in aggregate function argument");
  EXPECT_EQ(error("sum(a>=b)"), "Symbol >= is not supported in aggregate function argument");
  // Not directly followed by "(", a reserved word is a word like others.
  EXPECT_EQ(TNtdParser::Tokenize("where (x)").size(), 4u);
}

TEST(FilterConditions, ComparisonsJoinedByAnd) {
  const std::vector<TNtdCField> conditions =
      Parse("t.Kcal > '100' AND Name LIKE 'A%' and X <> -12 AND \"Nm 1\" = u.Nm2 AND Flag = TRUE AND Nm3 *= NULL");
  ASSERT_EQ(conditions.size(), 6u);
  EXPECT_EQ(conditions[0], (TNtdCField{"t", "Kcal", "", "100", Kind::Identifier, Kind::QuotedText, TNtdOperator::Greater}));
  EXPECT_EQ(conditions[1].Operator, TNtdOperator::Like);
  EXPECT_EQ(conditions[1].RightText, "A%");
  EXPECT_EQ(conditions[2], (TNtdCField{"", "X", "", "-12", Kind::Identifier, Kind::Number, TNtdOperator::NotEqual}));
  EXPECT_EQ(conditions[3], (TNtdCField{"", "Nm 1", "u", "Nm2", Kind::QuotedText, Kind::Identifier, TNtdOperator::Equal}));
  EXPECT_EQ(conditions[4].RightKind, Kind::True);
  EXPECT_EQ(conditions[5].Operator, TNtdOperator::Any);
  EXPECT_EQ(conditions[5].RightKind, Kind::Null);

  EXPECT_EQ(Parse("A <= 1 GROUP BY B HAVING whatever").size(), 1u) << "GROUP BY ends the conditions";
  EXPECT_TRUE(Parse("Name =").empty()) << "an incomplete condition is dropped";
  EXPECT_EQ(Parse("A >= 1 AND B").size(), 1u);
  EXPECT_TRUE(Parse("").empty());
}

TEST(FilterConditions, WhatTheGrammarDoesNotKnowIsAnError) {
  for (const char* text : {"A = 1 OR B = 2", "NOT A = 1", "(A = 1)", "Kcal > 2.5", "A = +1", "A = - x",
                           "A = / 1", "1 = A", "A B", "A = 1 B = 2", "A = 1 GROUP", "A LIKE LIKE",
                           "A = SUM(B)", "A = *", "A = ,"}) {
    EXPECT_EQ(ParseError(text), "Error in comparison expression") << text;
  }
  // Conditions before the error are kept by the caller.
  std::vector<TNtdCField> conditions;
  EXPECT_ANY_THROW(TNtdParser::ParseConditions(TNtdParser::Tokenize("A = 1 AND B = 2 OR C = 3"), conditions));
  EXPECT_EQ(conditions.size(), 2u);
}

bool Like(std::string_view pattern, std::string_view text) { return TNtdMask(pattern, pattern).Matches(text); }

TEST(FilterMasks, WildcardsAndLetterCase) {
  EXPECT_TRUE(Like("a_c", "ABC"));
  EXPECT_TRUE(Like("a_c", "abc"));
  EXPECT_FALSE(Like("a_c", "AC"));
  EXPECT_FALSE(Like("a_c", "ABCD"));
  EXPECT_TRUE(Like("A%", "apfel"));
  EXPECT_TRUE(Like("A%", "A"));
  EXPECT_FALSE(Like("A%", "Banane"));
  EXPECT_TRUE(Like("*fel", "Apfel"));
  EXPECT_TRUE(Like("%p%e%", "Apfel"));
  EXPECT_TRUE(Like("%%**a", "a")) << "wildcards in a row count once";
  EXPECT_TRUE(Like("a%_", "a")) << "one character directly after a wildcard is ignored";
  EXPECT_FALSE(Like("a?", "a")) << "no character is left for ?";
  EXPECT_TRUE(Like("", ""));
  EXPECT_FALSE(Like("", "x"));
  EXPECT_TRUE(Like("%", ""));
  EXPECT_TRUE(Like("\xE4pfel", "\xC4PFEL")) << "Windows-1252 letters ignore case too";
  EXPECT_FALSE(Like("\xDF", "SS"));
  EXPECT_TRUE(Like("%a%a%a%a%a%a%a%b", std::string(5000, 'a') + "b"));
  EXPECT_FALSE(Like("%a%a%a%a%a%a%a%b", std::string(5000, 'a'))) << "must end quickly, not backtrack forever";
}

TEST(FilterMasks, ThirtyWildcardGroupsAtMost) {
  std::string pattern;
  for (int i = 0; i < 30; ++i) pattern += "%x";
  EXPECT_TRUE(Like(pattern, std::string(30, 'x')));
  EXPECT_EQ(ErrorOf([&] { TNtdMask(pattern + "%y", "shown"); }), "'shown' is an invalid mask at (62)");
  EXPECT_EQ(ErrorOf([&] { TNtdMask(pattern + "%", "p"); }), "'p' is an invalid mask at (62)");
}

}  // namespace
}  // namespace tablefile
