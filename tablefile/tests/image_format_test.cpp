// Table images as the engine writes them, byte for byte, and read back.

#include <gtest/gtest.h>

#include <cmath>

#include "tablefile/ntd_cursor.h"
#include "tablefile/tests/image_bytes.h"
#include "tablefile/tests/table_fixtures.h"

namespace tablefile {
namespace {

using testing::AddRecord;
using testing::ConverterNtdFields;
using testing::ImageBytes;
using testing::ImageOf;
using Type = TNtdStorageType;

TEST(ImageFormat, TinyTableIsExactlyItsDocumentedBytesAndReadsBack) {
  TNtdCursor cursor;
  cursor.DefineFields({MakeNtdField("Name", Type::SmallStr, 10)});
  AddRecord(cursor, [&](RecordBuffer& row) { row.PutSmallText(*cursor.Field(0), "Apfel"); });

  const std::vector<std::uint8_t> expected{
      0x23, 0x00, 0x00, 0x00, 0x53, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00,
      0x00, 0x0C, 0x00, 0x00, 0x00, 0x58, 0x58, 0x58, 0x2E, 0x4E, 0x61, 0x6D,
      0x65, 0x20, 0x41, 0x12, 0x14, 0x05, 0x41, 0x70, 0x66, 0x65, 0x6C};
  std::vector<std::uint8_t> image = ImageOf(cursor);
  EXPECT_EQ(image, expected);
  EXPECT_EQ(cursor.EstimateImageSize(), expected.size());

  TNtdCursor back;
  ASSERT_TRUE(back.ReadImage(image).Ok);
  ASSERT_EQ(back.RecordCount(), 1u);
  EXPECT_EQ(back.Record(0)->Data.SmallText(*back.Field(0)), "Apfel");
  EXPECT_EQ(back.Field(0)->DeclaredSize, 10);
  EXPECT_EQ(back.Record(0)->State, TNtdRecordState::rsUnchanged);
}

TEST(ImageFormat, ConverterTableIsEmptyImageOf138Bytes) {
  TNtdCursor cursor;
  cursor.DefineFields(ConverterNtdFields());
  EXPECT_EQ(cursor.BufferSize(), 71u);
  const std::string section = cursor.BuildFieldDescriptions();
  EXPECT_EQ(section,
            "XXX.Nm1 s60\x12XXX.Nm2 s40\x12XXX.Nm3 f\x12XXX.Kcal f\x12XXX.Kjoule f\x12"
            "XXX.Fett f\x12XXX.Kh f\x12XXX.BE f\x12XXX.Eiweiss f\x12XXX.X i\x12XXX.Nm50 2\x12\x14");
  EXPECT_EQ(section.size(), 121u);

  std::vector<std::uint8_t> image = ImageOf(cursor);
  ASSERT_EQ(image.size(), 138u);
  EXPECT_EQ(image[0], 138);
  TNtdCursor back;
  ASSERT_TRUE(back.ReadImage(image).Ok);
  ASSERT_EQ(back.FieldCount(), 11u);
  EXPECT_EQ(back.Field(0)->StorageType, Type::String);
  EXPECT_EQ(back.Field(0)->DeclaredSize, 60);
  EXPECT_EQ(back.Field(9)->StorageType, Type::Integer);
  EXPECT_EQ(back.Field(10)->StorageType, Type::SmallStr);
  EXPECT_EQ(back.Field(10)->Offset, 68u);
}

TEST(ImageFormat, DescriptionsOfLengthsNamesAndDefaultTexts) {
  TNtdCursor cursor;
  std::vector<TNtdField> fields{MakeNtdField("Fat Grams", Type::SmallStr, 35),
                                MakeNtdField("Long", Type::String, 36),
                                MakeNtdField("Code", Type::SmallStr, 8)};
  fields[2].DefaultText = "UNICOD";
  fields[2].ExtraText = "extra";
  fields[2].TablePrefix = "T1";
  cursor.DefineFields(fields);
  EXPECT_EQ(cursor.BuildFieldDescriptions(),
            "XXX.Fat_Grams Z\x12XXX.Long s36\x12T1.Code 8~UNICOD~extra\x12\x14");

  std::vector<std::uint8_t> image = ImageOf(cursor);
  TNtdCursor back;
  ASSERT_TRUE(back.ReadImage(image).Ok);
  EXPECT_EQ(back.Field(0)->Name, "Fat_Grams");
  EXPECT_EQ(back.Field(0)->StorageType, Type::SmallStr);
  EXPECT_EQ(back.Field(0)->DeclaredSize, 35);
  EXPECT_EQ(back.Field(1)->StorageType, Type::String);
  EXPECT_EQ(back.Field(2)->TablePrefix, "T1");
  EXPECT_EQ(back.Field(2)->DefaultText, "UNICOD");
  EXPECT_EQ(back.Field(2)->ExtraText, "extra");
  EXPECT_EQ(back.BuildFieldDescriptions(), cursor.BuildFieldDescriptions());
}

TEST(ImageFormat, ParsingRulesOfDescriptionEntries) {
  // A bare "s" is a String of 100; no "." means prefix XXX; one "~" is all extra text;
  // entries beyond the declared count are ignored.
  ImageBytes bytes;
  bytes.PlainHeader(0, 3, "Plain s\x12Q.Memo m~only\x12XXX.Flag b\x12XXX.Ignored i\x12\x14");
  TNtdCursor cursor;
  ASSERT_TRUE(cursor.ReadImage(bytes.Data()).Ok);
  ASSERT_EQ(cursor.FieldCount(), 3u);
  EXPECT_EQ(cursor.Field(0)->TablePrefix, "XXX");
  EXPECT_EQ(cursor.Field(0)->DeclaredSize, 100);
  EXPECT_EQ(cursor.Field(1)->TablePrefix, "Q");
  EXPECT_EQ(cursor.Field(1)->DefaultText, "");
  EXPECT_EQ(cursor.Field(1)->ExtraText, "only");
  EXPECT_EQ(cursor.Field(2)->StorageType, Type::Boolean);
}

TEST(ImageFormat, EmptyValuesAreNotWrittenAndOthersKeepAllTheirBytes) {
  TNtdCursor cursor;
  cursor.DefineFields({MakeNtdField("I", Type::Int64), MakeNtdField("D", Type::Double),
                       MakeNtdField("B", Type::Boolean), MakeNtdField("S", Type::String, 50),
                       MakeNtdField("M", Type::Memo), MakeNtdField("T", Type::SmallStr, 5)});
  const auto& f = cursor.Fields();
  AddRecord(cursor, [&](RecordBuffer& row) { row.Put<double>(f[1], -0.0); });
  AddRecord(cursor, [&](RecordBuffer& row) { row.Put<double>(f[1], std::nan("")); });
  AddRecord(cursor, [&](RecordBuffer& row) {
    row.Put<std::int64_t>(f[0], 4'294'967'298);  // high half 1, low half 2
    row.Put<double>(f[1], 2.5);
    row.Put<std::int16_t>(f[2], 1);
    row.LargeValue(f[3]) = "text";
    row.LargeValue(f[4]) = std::string("a\0b", 3);
    row.PutSmallText(f[5], "abc");
  });
  std::vector<std::uint8_t> image = ImageOf(cursor);
  ASSERT_EQ(image.size(), cursor.EstimateImageSize());

  const std::size_t records = 17 + cursor.BuildFieldDescriptions().size();
  // Two all-empty records: six zero length bytes each.
  EXPECT_EQ(std::vector<std::uint8_t>(image.begin() + records, image.begin() + records + 12),
            std::vector<std::uint8_t>(12, 0));
  const std::uint8_t* third = image.data() + records + 12;
  EXPECT_EQ(std::vector<std::uint8_t>(third, third + 6), (std::vector<std::uint8_t>{8, 8, 2, 4, 4, 3}));
  EXPECT_EQ(third[6], 2);  // Int64 low half first
  EXPECT_EQ(third[10], 1);
  EXPECT_EQ(third[22], 0xFF);  // true is written as 0xFFFF
  EXPECT_EQ(third[23], 0xFF);

  TNtdCursor back;
  ASSERT_TRUE(back.ReadImage(image).Ok);
  const RecordBuffer& read = back.Record(2)->Data;
  EXPECT_EQ(read.Get<std::int64_t>(f[0]), 4'294'967'298);
  EXPECT_EQ(read.Get<double>(f[1]), 2.5);
  EXPECT_EQ(read.Get<std::int16_t>(f[2]), -1);
  EXPECT_EQ(read.LargeValue(f[3]), "text");
  EXPECT_EQ(read.LargeValue(f[4]), std::string("a\0b", 3));
  EXPECT_EQ(read.SmallText(f[5]), "abc");
  EXPECT_EQ(back.Record(0)->Data.Slots, std::vector<std::uint8_t>(back.BufferSize(), 0));
}

TEST(ImageFormat, NotesAreFoundBeforeRecordsAndWithoutRecords) {
  for (const bool withRecord : {false, true}) {
    TNtdCursor cursor;
    cursor.DefineFields({MakeNtdField("N", Type::Integer)});
    cursor.SetNotes("Quelle: BLS");
    if (withRecord) {
      AddRecord(cursor, [&](RecordBuffer& row) { row.Put<std::int32_t>(*cursor.Field(0), 7); });
    }
    std::vector<std::uint8_t> image = ImageOf(cursor);
    TNtdCursor back;
    ASSERT_TRUE(back.ReadImage(image).Ok);
    EXPECT_EQ(back.Notes(), "Quelle: BLS");
    EXPECT_EQ(back.RecordCount(), withRecord ? 1u : 0u);
  }
}

TEST(ImageFormat, AutoIncRecordsAreOrderedOnLoadAndNumberingContinues) {
  ImageBytes bytes;
  bytes.PlainHeader(3, 1, testing::Entry("Id a") + "\x14");
  for (const std::uint32_t id : {7u, 3u, 5u}) bytes.Byte(4).U32(id);
  TNtdCursor cursor;
  ASSERT_TRUE(cursor.ReadImage(bytes.Data()).Ok);
  const TNtdField& id = *cursor.AutoIncField();
  EXPECT_EQ(cursor.Record(0)->Data.Get<std::int32_t>(id), 3);
  EXPECT_EQ(cursor.Record(2)->Data.Get<std::int32_t>(id), 7);
  EXPECT_EQ(cursor.LastAutoIncValue(), 7);
  RecordEntry* added = AddRecord(cursor, [&](RecordBuffer& row) { row.Put<std::int32_t>(id, 99); });
  EXPECT_EQ(added->Data.Get<std::int32_t>(id), 8);
}

TEST(ImageFormat, ProgressIsReportedOnEveryChangeOfTheRoundedPercentage) {
  TNtdCursor cursor;
  cursor.DefineFields({MakeNtdField("N", Type::Integer)});
  for (int i = 0; i < 8; ++i) AddRecord(cursor, [](RecordBuffer&) {});
  std::vector<int> written;
  cursor.SetProgressHook([&](int percent) { written.push_back(percent); });
  std::vector<std::uint8_t> image = ImageOf(cursor);
  // 12.5 and 62.5 round to the even neighbour.
  EXPECT_EQ(written, (std::vector<int>{12, 25, 38, 50, 62, 75, 88, 100}));
}

}  // namespace
}  // namespace tablefile
