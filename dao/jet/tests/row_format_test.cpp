// Rows and values byte by byte: the worked rows of Access 2000 and Access
// 97, Jet 3 offsets past 255 (the jump table), Jet 4 compressed text with
// its mode switch, and the exact encodings of currency, decimal, dates and
// GUIDs.

#include <gtest/gtest.h>

#include "dao/jet/column_value.h"
#include "dao/jet/row_encoder.h"
#include "dao/jet/row_view.h"
#include "dao/jet/text_codec.h"

namespace dao::jet {
namespace {

std::vector<std::uint8_t> Hex(const std::string& text) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == ' ') {
      ++i;
      continue;
    }
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
    i += 2;
  }
  return bytes;
}

ColumnDefinition Column(ColumnType type, std::uint16_t number, std::uint16_t fixedOffset, std::uint16_t variableIndex,
                        bool fixed) {
  ColumnDefinition column;
  column.typeCode = static_cast<std::uint8_t>(type);
  column.number = number;
  column.fixedOffset = fixedOffset;
  column.variableIndex = variableIndex;
  column.flags = fixed ? (kColumnFixed | kColumnUpdatable) : kColumnUpdatable;
  return column;
}

// The table of the worked examples: A Text, B Text, C Byte, D Integer,
// E Long, F Double, G Date, H Currency, I Yes/No.
std::vector<ColumnDefinition> WorkedTable() {
  return {Column(ColumnType::kText, 0, 0, 0, false),     Column(ColumnType::kText, 1, 0, 1, false),
          Column(ColumnType::kByte, 2, 0, 0, true),      Column(ColumnType::kInteger, 3, 1, 0, true),
          Column(ColumnType::kLong, 4, 3, 0, true),      Column(ColumnType::kDouble, 5, 7, 0, true),
          Column(ColumnType::kDateTime, 6, 15, 0, true), Column(ColumnType::kCurrency, 7, 23, 0, true),
          Column(ColumnType::kBoolean, 8, 0, 0, true)};
}

std::vector<platform::Variant> DecodeRow(const Layout& layout, const std::vector<std::uint8_t>& bytes,
                                         const std::vector<ColumnDefinition>& columns, std::uint16_t variableColumns) {
  PageFile unused(std::make_unique<MemoryStorage>(std::vector<std::uint8_t>()), layout.pageSize);
  const TextCodec codec(layout.version, 1252);
  ValueDecoder decoder(unused, layout, codec);
  const RowView row(layout, bytes, variableColumns);
  std::vector<platform::Variant> values;
  for (const ColumnDefinition& column : columns) values.push_back(decoder.Decode(column, row));
  return values;
}

void ExpectWorkedValues(const std::vector<platform::Variant>& values) {
  EXPECT_EQ(values[0], platform::Variant("abcdefg"));
  EXPECT_EQ(values[1], platform::Variant("hijklmnop"));
  EXPECT_EQ(values[2], platform::Variant(std::uint8_t{2}));
  EXPECT_EQ(values[3], platform::Variant(std::int16_t{222}));
  EXPECT_EQ(values[4], platform::Variant(std::int32_t{333333333}));
  EXPECT_EQ(values[5], platform::Variant(444.555));
  EXPECT_EQ(values[6], platform::Variant::FromDate(27293.0));
  EXPECT_EQ(values[7], platform::Variant(platform::Currency{35000}));
  EXPECT_EQ(values[8], platform::Variant(true));
}

TEST(RowFormat, Jet4WorkedRow) {
  const std::vector<std::uint8_t> row = Hex(
      "09 00 02 DE 00 55 43 DE 13 7B 14 AE 47 E1 C8 7B 40 00 00 00 00 40 A7 DA 40 B8 88 00 00 00 00 00 00"
      "FF FE 61 62 63 64 65 66 67 68 00 69 00 6A 00 6B 00 6C 00 6D 00 6E 00 6F 00 70 00"
      "00 00 3C 00 2A 00 21 00 02 00 FF 01");
  ASSERT_EQ(row.size(), 72u);
  ExpectWorkedValues(DecodeRow(kJet4Layout, row, WorkedTable(), 2));
}

TEST(RowFormat, Jet3WorkedRow) {
  const std::vector<std::uint8_t> row = Hex(
      "09 02 DE 00 55 43 DE 13 7B 14 AE 47 E1 C8 7B 40 00 00 00 00 40 A7 DA 40 B8 88 00 00 00 00 00 00"
      "61 62 63 64 65 66 67 68 69 6A 6B 6C 6D 6E 6F 70 30 27 20 02 FF 01");
  ExpectWorkedValues(DecodeRow(kJet3Layout, row, WorkedTable(), 2));
}

TEST(RowFormat, NullMaskAndColumnsAddedLaterReadAsNull) {
  // The worked Jet 4 row with B, D and the Boolean I cleared in the mask,
  // read by a table that has gained a tenth column since.
  const std::vector<std::uint8_t> row = Hex(
      "09 00 02 DE 00 55 43 DE 13 7B 14 AE 47 E1 C8 7B 40 00 00 00 00 40 A7 DA 40 B8 88 00 00 00 00 00 00"
      "FF FE 61 62 63 64 65 66 67 2A 00 2A 00 21 00 02 00 F5 00");  // B empty: its offset is the end
  std::vector<ColumnDefinition> columns = WorkedTable();
  columns.push_back(Column(ColumnType::kLong, 9, 31, 0, true));
  const std::vector<platform::Variant> values = DecodeRow(kJet4Layout, row, columns, 2);
  EXPECT_EQ(values[0], platform::Variant("abcdefg"));
  EXPECT_TRUE(values[1].IsNull());
  EXPECT_TRUE(values[3].IsNull());
  EXPECT_EQ(values[8], platform::Variant(false));  // a Boolean is never Null
  EXPECT_TRUE(values[9].IsNull());
}

TEST(RowFormat, Jet3OffsetsBeyond255UseTheJumpTable) {
  // Two variable columns: 300 bytes of 'x', then "tail"; one fixed Long.
  std::vector<std::uint8_t> row = {3, 0x2A, 0, 0, 0};
  row.insert(row.end(), 300, 'x');
  const std::size_t second = row.size();  // 305
  for (const char c : std::string("tail")) row.push_back(static_cast<std::uint8_t>(c));
  const std::size_t end = row.size();  // 309
  // Offsets low bytes: EOD, var 1, var 0; jump table (J = (len-1)/256 = 1
  // for a 315-byte row): boundary 256 is first reached by var 1 (index 1).
  row.push_back(static_cast<std::uint8_t>(end & 0xFF));
  row.push_back(static_cast<std::uint8_t>(second & 0xFF));
  row.push_back(5);  // var 0 at 5
  row.push_back(1);  // jump byte
  row.push_back(2);  // nvar
  row.push_back(0x07);  // mask: columns 0, 1, 2 present
  ASSERT_EQ(row.size(), 315u);
  const std::vector<ColumnDefinition> columns = {Column(ColumnType::kLong, 0, 0, 0, true),
                                                 Column(ColumnType::kText, 1, 0, 0, false),
                                                 Column(ColumnType::kText, 2, 0, 1, false)};
  const std::vector<platform::Variant> values = DecodeRow(kJet3Layout, row, columns, 2);
  EXPECT_EQ(values[0], platform::Variant(std::int32_t{42}));
  EXPECT_EQ(values[1], platform::Variant(std::string(300, 'x')));
  EXPECT_EQ(values[2], platform::Variant("tail"));
}

TEST(RowFormat, OffsetsThatDoNotNestAreDamage) {
  std::vector<std::uint8_t> row = Hex("02 00 61 62 63 05 00 02 00 01 00 03");  // offsets 2 then 5: fine
  EXPECT_NO_THROW(RowView(kJet4Layout, row, 1));
  row[6] = 0x01;  // variable 0 would start before the column count ends
  EXPECT_THROW(RowView(kJet4Layout, row, 1), JetError);
  row = Hex("02 00 61 62 63 40 00 02 00 01 00 03");  // end of data beyond the trailer
  EXPECT_THROW(RowView(kJet4Layout, row, 1), JetError);
  row = Hex("02 00 61 FF 00 03");  // nvar 255 cannot fit
  EXPECT_THROW(RowView(kJet4Layout, row, 1), JetError);
}

TEST(RowFormat, FixedColumnsShorterThanTheirValuesAreDamage) {
  // A damaged descriptor gives a Long two bytes: writing its four must not
  // run past the row.
  TableDefinition table;
  table.maxColumns = 1;
  table.columns = {Column(ColumnType::kLong, 0, 0, 0, true)};
  table.columns[0].length = 2;
  const RowShape shape(table, kJet4Layout);
  const std::vector<std::uint8_t> value = {1, 2, 3, 4};
  const RowCell cell{true, value};
  EXPECT_THROW(shape.Encode(std::span(&cell, 1)), JetError);
  table.columns[0].length = 4;
  EXPECT_EQ(RowShape(table, kJet4Layout).Encode(std::span(&cell, 1)), Hex("01 00 01 02 03 04 01"));
}

TEST(TextCodec, Jet4TextInEveryForm) {
  const TextCodec codec(Version::kJet4, 1252);
  EXPECT_EQ(codec.Value(Hex("61 00")), "a");
  EXPECT_EQ(codec.Value(Hex("FF FE C4 70 66 65 6C")), "Äpfel");
  // 0x00 switches to two bytes per character and a character starting
  // with 0x00 switches back.
  EXPECT_EQ(codec.Value(Hex("FF FE 61 62 00 A9 03 00 63")), "abΩc");
  EXPECT_EQ(codec.Value(Hex("FF FE 00 3D D8 01 DE 00 21")), "😁!");
  EXPECT_EQ(codec.Value(Hex("3D D8 00 DE")), "😀");
  EXPECT_EQ(codec.Value(Hex("3D D8 41 00")), "\xEF\xBF\xBD" "A");  // a lone surrogate
  EXPECT_EQ(codec.Value(Hex("41 00 42")), "A");                    // a stray last byte
  EXPECT_EQ(codec.Name(Hex("FF FE")), "\xEF\xBB\xBF");             // names are never compressed
  EXPECT_EQ(codec.EncodeName("Kcal€"), Hex("4B 00 63 00 61 00 6C 00 AC 20"));
}

TEST(TextCodec, CompressedTextKeepsEveryCharacterWhereverItStands) {
  // Compressed text is converted eight bytes at a time: characters beyond
  // ASCII, alone or in a row, must come out at any place of any length.
  const TextCodec codec(Version::kJet4, 1252);
  for (std::size_t length = 1; length <= 24; ++length) {
    for (std::size_t at = 0; at < length; ++at) {
      std::vector<std::uint8_t> stored = {kCompressedTextMarker0, kCompressedTextMarker1};
      std::string expected;
      for (std::size_t i = 0; i < length; ++i) {
        const bool latin = i == at || i == at + 1 || i + 1 == length;
        stored.push_back(latin ? 0xFC : static_cast<std::uint8_t>('a' + i));
        expected += latin ? "\xC3\xBC" : std::string(1, static_cast<char>('a' + i));  // ü
      }
      EXPECT_EQ(codec.Value(stored), expected) << "length " << length << ", first ü at " << at;
    }
  }
}

TEST(TextCodec, Jet3TextKeepsUndefinedCodePageBytes) {
  const TextCodec codec(Version::kJet3, 1252);
  EXPECT_EQ(codec.Value(Hex("4D FC 6C 6C 65 72 80")), "Müller€");
  EXPECT_EQ(codec.Value(Hex("41 81 8D 8F 90 9D")), "A\u0081\u008D\u008F\u0090\u009D");
  const TextCodec unknownCodePage(Version::kJet3, 12345);
  EXPECT_EQ(unknownCodePage.CodePage(), 1252);
}

TEST(StoredValues, ExactEncodingsOfEveryFixedType) {
  const TextCodec codec(Version::kJet4, 1252);
  const auto decode = [&](ColumnType type, const std::string& hex, std::uint8_t scale = 0) {
    return DecodeStoredValue(type, Hex(hex), scale, codec);
  };
  EXPECT_EQ(decode(ColumnType::kCurrency, "F0 D8 FF FF FF FF FF FF"), platform::Variant(platform::Currency{-10000}));
  EXPECT_EQ(decode(ColumnType::kSingle, "CD CC CC 3D"), platform::Variant(0.1f));
  EXPECT_EQ(decode(ColumnType::kDateTime, "9A 99 99 99 99 99 F1 BF"), platform::Variant::FromDate(-1.1));
  platform::Decimal decimal = decode(ColumnType::kDecimal, "80 00000000 00000000 00000000 D2040000", 2).ToDecimal();
  EXPECT_TRUE(decimal.negative);
  EXPECT_EQ(decimal.low, 1234u);
  EXPECT_EQ(decimal.scale, 2);
  EXPECT_THROW(decode(ColumnType::kDecimal, "00 01000000 00000000 00000000 00000000"), JetError);  // > 96 bits
  EXPECT_EQ(platform::GuidToString(decode(ColumnType::kGuid, "44 33 22 11 66 55 88 77 99 AA BB CC DD EE FF 00").ToGuid()),
            "{11223344-5566-7788-99AA-BBCCDDEEFF00}");
  EXPECT_EQ(decode(ColumnType::kAccessBinary, "01 02"), platform::Variant(platform::Bytes{1, 2}));
  EXPECT_THROW(decode(ColumnType::kLong, "01 02"), JetError);
}

}  // namespace
}  // namespace dao::jet
