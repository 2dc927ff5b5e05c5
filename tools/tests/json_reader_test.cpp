// The streaming JSON reader: what it decodes, where it reports errors, and
// that values crossing the reader's internal chunks come out whole.

#include <gtest/gtest.h>

#include <sstream>

#include "tools/json_reader.h"

namespace tools {
namespace {

struct Failure {
  std::int64_t line = 0;
  std::int64_t column = 0;
  std::string reason;
};

// Reads any JSON value through the cursor calls, the way a caller that
// knows nothing of the shape would; returns the error, if any.
std::optional<Failure> FailureOf(const std::string& text) {
  std::istringstream in(text);
  JsonReader reader(in);
  try {
    reader.SkipValue();
    reader.ExpectEnd();
  } catch (const JsonError& error) {
    return Failure{error.Where().line, error.Where().column, error.Reason()};
  }
  return std::nullopt;
}

TEST(JsonReader, DecodesEveryKindOfValue) {
  std::istringstream in(
      "\xEF\xBB\xBF{\"text\": \"a\\\"b\\\\c\\/d\\b\\f\\n\\r\\t\\u00e4\\uD83D\\uDE00 \xC3\xA4\xE2\x82\xAC\","
      " \"numbers\": [0, -12, 3.25e-2, 1E+300, -0.0],\n \"rest\": [true, false, null, {}, []]}");
  JsonReader reader(in);
  reader.BeginObject();
  EXPECT_EQ(reader.NextKey(), "text");
  EXPECT_EQ(reader.ReadString(), "a\"b\\c/d\b\f\n\r\t\xC3\xA4\xF0\x9F\x98\x80 \xC3\xA4\xE2\x82\xAC");

  EXPECT_EQ(reader.NextKey(), "numbers");
  reader.BeginArray();
  std::vector<std::string> literals;
  JsonScalar value;
  while (reader.NextElement()) {
    reader.ReadScalar(value);
    EXPECT_EQ(value.kind, JsonKind::Number);
    literals.push_back(value.text);
  }
  EXPECT_EQ(literals, (std::vector<std::string>{"0", "-12", "3.25e-2", "1E+300", "-0.0"}))
      << "numbers keep their literal so callers choose the precision";

  EXPECT_EQ(reader.NextKey(), "rest");
  reader.BeginArray();
  ASSERT_TRUE(reader.NextElement());
  reader.ReadScalar(value);
  EXPECT_TRUE(value.kind == JsonKind::Boolean && value.boolean);
  ASSERT_TRUE(reader.NextElement());
  reader.ReadScalar(value);
  EXPECT_TRUE(value.kind == JsonKind::Boolean && !value.boolean);
  ASSERT_TRUE(reader.NextElement());
  const JsonPosition nullAt = reader.Position();
  reader.ReadScalar(value);
  EXPECT_EQ(value.kind, JsonKind::Null);
  EXPECT_EQ(nullAt.line, 2);
  EXPECT_EQ(nullAt.column, 24);
  ASSERT_TRUE(reader.NextElement());
  reader.BeginObject();
  EXPECT_FALSE(reader.NextKey());
  ASSERT_TRUE(reader.NextElement());
  reader.BeginArray();
  EXPECT_FALSE(reader.NextElement());
  EXPECT_FALSE(reader.NextElement());
  EXPECT_FALSE(reader.NextKey());
  reader.ExpectEnd();
}

TEST(JsonReader, NamesLineAndColumnOfMalformedInput) {
  struct Case {
    std::string text;
    std::int64_t line;
    std::int64_t column;
    std::string reasonStart;
  };
  const std::vector<Case> cases{
      {"[1, 2,]", 1, 7, "expected a value after ','"},
      {"{\"a\" 1}", 1, 6, "expected ':'"},
      {"{\"a\": 1 \"b\": 2}", 1, 9, "expected ',' or '}'"},
      {"{a: 1}", 1, 2, "expected a member name"},
      {"[\"x\\q\"]", 1, 4, "unknown escape \\q"},
      {"[\n  \"\xC3\xA4\xC3\"]", 2, 5, "the text is not valid UTF-8"},
      {"[\"\xC0\xAF\"]", 1, 3, "the text is not valid UTF-8"},
      {"[\"\xED\xA0\x80\"]", 1, 3, "the text is not valid UTF-8 (an overlong"},
      {"[\"abc", 1, 6, "the text ends inside a string"},
      {"[\"a\tb\"]", 1, 4, "a control character must be escaped"},
      {"[012]", 1, 3, "a number must not start with 0"},
      {"[1.]", 1, 4, "expected a digit after the decimal point"},
      {"[-]", 1, 3, "expected a digit in the number"},
      {"[\"\\uD800x\"]", 1, 3, "a high surrogate without its low surrogate"},
      {"[\"\\uDC00\"]", 1, 3, "a low surrogate without its high surrogate"},
      {"[\"\\u12G4\"]", 1, 7, "expected four hex digits"},
      {"[nul]", 1, 2, "expected a value, found an unknown word"},
      {"[truex]", 1, 2, "expected a value, found an unknown word"},
      {"{} {}", 1, 4, "expected the end of the document"},
      {"", 1, 1, "expected a value, found the end of the input"},
      {"\n\n   \xE2\x82\xAC", 3, 4, "expected a value, found byte 0xE2"},
      {std::string(600, '['), 1, 513, "the document is nested too deeply"},
  };
  for (const Case& c : cases) {
    const auto failure = FailureOf(c.text);
    ASSERT_TRUE(failure) << c.text;
    EXPECT_EQ(failure->line, c.line) << c.text;
    EXPECT_EQ(failure->column, c.column) << c.text;
    EXPECT_TRUE(failure->reason.starts_with(c.reasonStart)) << c.text << ": " << failure->reason;
  }
}

TEST(JsonReader, CallerExpectationsAreCheckedToo) {
  std::istringstream in("{\"rows\": 5}");
  JsonReader reader(in);
  reader.BeginObject();
  reader.NextKey();
  try {
    reader.BeginArray();
    FAIL() << "a number is not an array";
  } catch (const JsonError& error) {
    EXPECT_EQ(std::string(error.what()), "line 1, column 10: expected an array, found '5'");
  }
}

TEST(JsonReader, ValuesAndPositionsSurviveChunkBoundaries) {
  // The reader takes its input in 64 KiB chunks. A string of multi-byte
  // characters and escapes straddles the first boundary; shifting it by
  // 0..14 bytes puts every byte of the 15-byte pattern on the boundary once.
  const std::string pattern = "\xC3\xA4\xE2\x82\xAC\\u00e4\xF0\x9F\x98\x80";  // ä € \u00e4 😀
  const std::string decoded = "\xC3\xA4\xE2\x82\xAC\xC3\xA4\xF0\x9F\x98\x80";
  std::string body;
  std::string expected;
  for (int i = 0; i < 8000; ++i) {
    body += pattern;
    expected += decoded;
  }
  for (int shift = 0; shift < 15; ++shift) {
    std::istringstream in(std::string(static_cast<std::size_t>(shift), '\n') + "\"" + body + "\"" +
                          std::string(70000, ' ') + "x");
    JsonReader reader(in);
    ASSERT_EQ(reader.ReadString(), expected) << "shift " << shift;
    try {
      reader.ExpectEnd();
      FAIL() << "the stray character after the blanks is an error";
    } catch (const JsonError& error) {
      EXPECT_EQ(error.Where().line, 1 + shift);
      // Columns count characters: the quotes, nine per pattern (the escape
      // counts six), then the blanks.
      EXPECT_EQ(error.Where().column, 1 + 2 + 8000 * 9 + 70000);
    }
  }
}

}  // namespace
}  // namespace tools
