// Index keys against entries Access wrote (and the General sort order rules
// they follow): one wrong byte makes Access miss rows in index searches.
#include "dao/jet/index_key.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace dao::jet {
namespace {

using ByteVector = std::vector<std::uint8_t>;

ByteVector Hex(const std::string& text) {
  ByteVector bytes;
  for (std::size_t i = 0; i + 1 < text.size();) {
    if (text[i] == ' ') { ++i; continue; }
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
    i += 2;
  }
  return bytes;
}

ByteVector Jet4Text(std::u16string_view text, KeyOrder order = KeyOrder::kAscending) {
  IndexKeyBuilder builder;
  EXPECT_TRUE(builder.AppendJet4Text(text, order));
  return builder.Bytes();
}

ByteVector Jet3Text(const std::string& cp1252, KeyOrder order = KeyOrder::kAscending) {
  IndexKeyBuilder builder;
  builder.AppendJet3Text({reinterpret_cast<const std::uint8_t*>(cp1252.data()), cp1252.size()}, order);
  return builder.Bytes();
}

TEST(IndexKeyTest, Jet4TextFollowsTheGeneralSortOrder) {
  EXPECT_EQ(Jet4Text(u"Tables"), Hex("7F 6D 4A 4C 5E 51 6B 01 00"));
  EXPECT_EQ(Jet4Text(u"Databases"), Hex("7F 4F 4A 6D 4A 4C 4A 6B 51 6B 01 00"));
  // Case and trailing blanks do not count.
  EXPECT_EQ(Jet4Text(u"ABC"), Jet4Text(u"abc  "));
  EXPECT_EQ(Jet4Text(u"10"), Hex("7F 38 36 01 00"));
  // Hyphen and apostrophe are recorded with their position at the end.
  EXPECT_EQ(Jet4Text(u"-1"), Hex("7F 38 01 01 01 01 80 07 06 82 00"));
  EXPECT_EQ(Jet4Text(u"O'Neil"), Hex("7F 64 62 51 59 5E 01 01 01 01 80 0B 06 80 00"));
  // Accents go to a second section, trailing fillers dropped.
  EXPECT_EQ(Jet4Text(u"\u00FCmlaut"), Hex("7F 6F 60 5E 4A 6F 6D 01 13 00"));
  EXPECT_EQ(Jet4Text(u"\u00E4\u00E4kk\u00F6si\u00E4"),
            Hex("7F 4A 4A 5C 5C 64 6B 59 4A 01 13 13 02 02 13 02 02 13 00"));
  EXPECT_EQ(Jet4Text(u"M\u00FCller"), Hex("7F 60 6F 5E 5E 51 69 01 02 13 00"));
  EXPECT_EQ(Jet4Text(u"Stra\u00DFe"), Hex("7F 6B 6D 69 4A 6B 6B 51 01 00"));
  EXPECT_EQ(Jet4Text(u"Cr\u00E8me br\u00FBl\u00E9e"),
            Hex("7F 4D 69 51 60 51 07 4C 69 6F 5E 51 51 01 02 02 0F 02 02 02 02 02 12 02 0E 00"));
  // Only the first 255 characters take part.
  EXPECT_EQ(Jet4Text(std::u16string(300, u'a')), Jet4Text(std::u16string(255, u'a')));
}

TEST(IndexKeyTest, Jet4TextDescendingFlipsTheTextAndEndsWithZero) {
  EXPECT_EQ(Jet4Text(u"10", KeyOrder::kDescending), Hex("80 C7 C9 FE FF 00"));
}

TEST(IndexKeyTest, Jet4TextRefusesCharactersOutsideTheSortTable) {
  IndexKeyBuilder builder;
  builder.AppendInteger(1, 4, KeyOrder::kAscending);
  const ByteVector before = builder.Bytes();
  EXPECT_FALSE(builder.AppendJet4Text(u"\u0416ar", KeyOrder::kAscending));  // Cyrillic
  EXPECT_EQ(builder.Bytes(), before);
  // Windows-1252 characters above U+00FF are covered.
  EXPECT_TRUE(builder.AppendJet4Text(u"\u20AC \u0160", KeyOrder::kAscending));
}

TEST(IndexKeyTest, Jet3TextUsesByteCodesAndAccentNibbles) {
  EXPECT_EQ(Jet3Text("Tables"), Hex("7F 77 60 61 6D 66 76 00"));
  EXPECT_EQ(Jet3Text("abc"), Jet3Text("ABC"));
  EXPECT_EQ(Jet3Text("M\xFCller"), Hex("7F 6F 78 6D 6D 66 75 06 00"));
  EXPECT_EQ(Jet3Text("\xC4pfel"), Hex("7F 60 73 67 66 6D 06 00"));
  EXPECT_EQ(Jet3Text("Stra\xDF" "e"), Hex("7F 76 77 75 60 76 76 66 00"));
  EXPECT_EQ(Jet3Text("O'Neil"), Hex("7F 72 18 70 66 6A 6D 00"));
  EXPECT_EQ(Jet3Text("Tables", KeyOrder::kDescending), Hex("80 88 9F 9E 92 99 89 FF"));
}

TEST(IndexKeyTest, NumbersSortAsUnsignedBytes) {
  const auto key = [](auto append) {
    IndexKeyBuilder builder;
    append(builder);
    return builder.Bytes();
  };
  EXPECT_EQ(key([](auto& b) { b.AppendInteger(2, 4, KeyOrder::kAscending); }), Hex("7F 80 00 00 02"));
  EXPECT_EQ(key([](auto& b) { b.AppendInteger(0x0F000001, 4, KeyOrder::kAscending); }),
            Hex("7F 8F 00 00 01"));
  EXPECT_EQ(key([](auto& b) { b.AppendInteger(-1, 4, KeyOrder::kDescending); }), Hex("80 80 00 00 00"));
  EXPECT_EQ(key([](auto& b) { b.AppendInteger(-2, 2, KeyOrder::kAscending); }), Hex("7F 7F FE"));
  EXPECT_EQ(key([](auto& b) { b.AppendByte(200, KeyOrder::kDescending); }), Hex("80 37"));
  EXPECT_EQ(key([](auto& b) { b.AppendBoolean(true, KeyOrder::kAscending); }), Hex("7F 00"));
  EXPECT_EQ(key([](auto& b) { b.AppendBoolean(false, KeyOrder::kAscending); }), Hex("7F FF"));
  EXPECT_EQ(key([](auto& b) { b.AppendNull(KeyOrder::kAscending); }), Hex("00"));
  EXPECT_EQ(key([](auto& b) { b.AppendNull(KeyOrder::kDescending); }), Hex("FF"));
  EXPECT_EQ(key([](auto& b) { b.AppendDouble(1.0, KeyOrder::kAscending); }),
            Hex("7F BF F0 00 00 00 00 00 00"));
  EXPECT_EQ(key([](auto& b) { b.AppendDouble(-1.0, KeyOrder::kAscending); }),
            Hex("7F 40 0F FF FF FF FF FF FF"));
  EXPECT_EQ(key([](auto& b) { b.AppendSingle(1.0f, KeyOrder::kDescending); }), Hex("80 40 7F FF FF"));

  // Whatever the sign, the byte order of keys is the numeric order.
  const double values[] = {-1e300, -2.5, -0.0, 0.0, 1e-300, 3.25, 1e300};
  for (std::size_t i = 1; i < std::size(values); ++i) {
    IndexKeyBuilder a, b;
    a.AppendDouble(values[i - 1], KeyOrder::kAscending);
    b.AppendDouble(values[i], KeyOrder::kAscending);
    EXPECT_LE(a.Bytes(), b.Bytes()) << values[i - 1] << " vs " << values[i];
    IndexKeyBuilder c, d;
    c.AppendDouble(values[i - 1], KeyOrder::kDescending);
    d.AppendDouble(values[i], KeyOrder::kDescending);
    EXPECT_GE(c.Bytes(), d.Bytes());
  }
}

TEST(IndexKeyTest, GuidAndBinaryUseEightByteSegments) {
  // {11223344-5566-7788-99AA-BBCCDDEEFF00} as stored in a row.
  const std::uint8_t guid[16] = {0x44, 0x33, 0x22, 0x11, 0x66, 0x55, 0x88, 0x77,
                                 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x00};
  IndexKeyBuilder builder;
  builder.AppendGuid(std::span<const std::uint8_t, 16>(guid), KeyOrder::kAscending);
  EXPECT_EQ(builder.Bytes(), Hex("7F 11 22 33 44 55 66 77 88 09 99 AA BB CC DD EE FF 00 08"));

  const std::uint8_t three[] = {1, 2, 3};
  builder.Clear();
  builder.AppendBinary(three, KeyOrder::kDescending);
  EXPECT_EQ(builder.Bytes(), Hex("80 FE FD FC FF FF FF FF FF FC"));
}

TEST(IndexKeyTest, MultiColumnKeysConcatenate) {
  IndexKeyBuilder builder;
  builder.AppendInteger(0x0F000001, 4, KeyOrder::kAscending);
  ASSERT_TRUE(builder.AppendJet4Text(u"Tables", KeyOrder::kAscending));
  EXPECT_EQ(builder.Bytes(), Hex("7F 8F 00 00 01 7F 6D 4A 4C 5E 51 6B 01 00"));
}

}  // namespace
}  // namespace dao::jet
