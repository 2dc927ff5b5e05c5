// The JSON writer: layout, escapes and number texts.

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>
#include <cstdint>
#include <limits>
#include <sstream>

#include "tools/json_writer.h"

namespace tools {
namespace {

TEST(JsonWriter, BlocksHoldInlineContainers) {
  std::ostringstream text;
  JsonWriter out(text);
  out.BeginObject();
  out.Key("format");
  out.String("jet4");
  out.Key("columns");
  out.BeginArray();
  out.BeginObject(JsonLayout::kInline);
  out.Key("name");
  out.String("Kcal");
  out.Key("size");
  out.Integer(4);
  out.EndObject();
  out.EndArray();
  out.Key("rows");
  out.BeginArray();
  out.EndArray();
  out.Key("row");
  out.BeginArray(JsonLayout::kInline);
  out.String("Äpfel, roh");
  out.Null();
  out.BeginArray();  // inside an inline container: inline too
  out.Boolean(false);
  out.EndArray();
  out.EndArray();
  out.EndObject();
  out.Finish();
  EXPECT_EQ(text.str(),
            "{\n"
            "  \"format\": \"jet4\",\n"
            "  \"columns\": [\n"
            "    {\"name\": \"Kcal\", \"size\": 4}\n"
            "  ],\n"
            "  \"rows\": [],\n"
            "  \"row\": [\"Äpfel, roh\", null, [false]]\n"
            "}\n");
}

TEST(JsonWriter, StringsAreEscapedOnlyWhereRequired) {
  std::ostringstream text;
  JsonWriter out(text);
  out.String(std::string("\"\\/\b\f\n\r\t\x01\x1f\x7f€", 14));
  EXPECT_EQ(text.str(), "\"\\\"\\\\/\\b\\f\\n\\r\\t\\u0001\\u001f\x7f€\"");
}

TEST(JsonWriter, LongTextsAreEscapedWhereverTheCharacterStands) {
  // Texts are checked eight characters at a time: a quote at any place of
  // any length must still be found.
  for (std::size_t length = 1; length <= 20; ++length) {
    for (std::size_t at = 0; at < length; ++at) {
      std::string value(length, 'a');
      value[at] = '"';
      std::string expected = "\"" + value + "\"";
      expected.insert(at + 1, "\\");
      std::ostringstream text;
      JsonWriter(text).String(value);
      EXPECT_EQ(text.str(), expected) << "length " << length << ", quote at " << at;
    }
  }
}

TEST(JsonWriter, NumbersAreShortestAndExact) {
  std::ostringstream text;
  JsonWriter out(text);
  out.BeginArray(JsonLayout::kInline);
  out.Double(0.1);
  out.Double(52.0);
  out.Double(1.0 / 3.0);
  out.Double(1e-7);
  out.Single(0.1f);
  out.Single(16777217.0f);
  out.Double(std::nan(""));
  out.Currency(-123400);
  out.Currency(50000);
  out.Currency(std::numeric_limits<std::int64_t>::min());
  out.Integer(std::numeric_limits<std::int64_t>::min());
  out.EndArray();
  EXPECT_EQ(text.str(),
            "[0.1, 52, 0.3333333333333333, 1e-07, 0.1, 16777216, null, -12.34, 5, "
            "-922337203685477.5808, -9223372036854775808]");
}

// The quick path for short decimals must print exactly what the general
// shortest-text algorithm prints, for every kind of single.
TEST(JsonWriter, SinglesMatchTheShortestRoundTripText) {
  std::mt19937 random(20240611);
  std::vector<float> values;
  for (int i = 0; i < 200000; ++i) values.push_back(static_cast<float>(i) / 100.0f);
  for (int i = 0; i < 200000; ++i) values.push_back(-static_cast<float>(random() % 10000000) / 1000.0f);
  for (int i = 0; i < 200000; ++i) {
    const std::uint32_t bits = static_cast<std::uint32_t>(random());
    float value;
    std::memcpy(&value, &bits, sizeof value);
    values.push_back(value);
  }
  // One writer for all, each value twice: the second time its text comes
  // from the writer's cache of recent values.
  std::ostringstream text;
  std::string expected = "[";
  JsonWriter out(text);
  out.BeginArray(JsonLayout::kInline);
  for (const float value : values) {
    if (!std::isfinite(value)) continue;
    char shortest[32];
    const std::string_view digits(shortest, static_cast<std::size_t>(
                                                 std::to_chars(shortest, shortest + sizeof shortest, value).ptr - shortest));
    for (int twice = 0; twice < 2; ++twice) {
      out.Single(value);
      expected += (expected.size() > 1 ? ", " : "") + std::string(digits);
    }
  }
  out.EndArray();
  EXPECT_EQ(text.str(), expected + "]");
}

}  // namespace
}  // namespace tools
